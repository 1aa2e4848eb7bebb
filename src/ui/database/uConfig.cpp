#include "ui/database/uConfig.h"

#include "model/core/Error.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DatabasePages.h"
#include "model/session/Workspace.h"
#include "ui/common/uTextValidator.h"
#include "ui/database/uBoundControls.h"
#include "ui/database/uDBNavigator.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quillmark {

namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

// The fixed picture of "Icone:": a small shield with a quill, carried by the window.
QPixmap iconPicture() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(4, 3);
    shield.lineTo(28, 3);
    shield.lineTo(28, 15);
    shield.cubicTo(28, 23, 21, 28, 16, 30);
    shield.cubicTo(11, 28, 4, 23, 4, 15);
    shield.closeSubpath();
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x12), 1.5));
    p.setBrush(QColor(0x2f, 0x6f, 0xb5));
    p.drawPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xd0, 0x5a));
    p.drawRect(QRectF(14.5, 5, 3, 22));
    p.drawRect(QRectF(7, 12, 18, 3));
    p.setBrush(QColor(0xff, 0xff, 0xff, 0xd0));
    QPainterPath quill;
    quill.moveTo(23, 5);
    quill.cubicTo(19, 9, 14, 17, 11, 25);
    quill.cubicTo(16, 19, 22, 12, 23, 5);
    p.drawPath(quill);
    return pm;
}

QGroupBox* group(const char* caption, QWidget* parent) { return new QGroupBox(utf8(caption), parent); }

const QStringList kAcoes = {utf8("Aumentar HP Atual"),  utf8("Aumentar MP Atual"),    utf8("Aumentar HP"),
                            utf8("Aumentar MP"),        utf8("Aumentar Força"),       utf8("Aumentar Defesa"),
                            utf8("Aumentar Agilidade"), utf8("Aumentar Experiencia"), utf8("Aumentar Nivel")};

std::string twoDigits(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

}  // namespace

TForm2::TForm2(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setWindowTitle(QStringLiteral("Banco de Dados"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // 709 x 617 outside, with the usual frame and title bar
    setFixedSize(701, 583);

    auto runner = [this](const std::function<void()>& step) { return ws_.run(step); };
    TDataModule1& dm = ws_.DataModule1;
    heroLink_ = std::make_unique<TDataLink>(dm.cdsPersonagem, runner);
    monstersLink_ = std::make_unique<TDataLink>(dm.cdsMonstros, runner);
    monstersLink_->insertOnEdit = false;  // a monster is made by "Novo", with its name and folder
    itensLink_ = std::make_unique<TDataLink>(dm.cdsItens, runner);
    magiasLink_ = std::make_unique<TDataLink>(dm.cdsMagias, runner);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl = new QTabWidget(this);
    layout->addWidget(PageControl);
    const char* captions[] = {"Game", "Personagem", "Inimigos", "Itens", "Magias", "Tiles"};
    std::vector<QWidget*> pages;
    for (const char* c : captions) {
        auto* page = new QWidget(PageControl);
        PageControl->addTab(page, utf8(c));
        pages.push_back(page);
    }
    buildGame(pages[0]);
    buildPersonagem(pages[1]);
    buildInimigos(pages[2]);
    buildItens(pages[3]);
    buildMagias(pages[4]);
    TabTiles = pages[5];
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this, &TForm2::pageChanged);

    // The data holder's notifications.
    dm.onItensListChanged = [this] {
        rebuildList(ListaItens, ws_.DataModule1.cdsItens);
        reloadLookups();
    };
    dm.onMonstrosListChanged = [this] { rebuildList(ListaInimigos, ws_.DataModule1.cdsMonstros); };
    dm.onMagiasListChanged = [this] {
        rebuildList(ListaMagias, ws_.DataModule1.cdsMagias);
        reloadLookups();
    };
    dm.onNewItem = [this] { afterItemInserted(); };
    // A table opened again (another project) or closed: its list shows what it now holds.
    monstersLink_->onChange = [this](TableChange c) {
        if (c == TableChange::Opened || c == TableChange::Closed)
            rebuildList(ListaInimigos, ws_.DataModule1.cdsMonstros);
    };
    itensLink_->onChange = [this](TableChange c) {
        if (c != TableChange::Opened && c != TableChange::Closed) return;
        rebuildList(ListaItens, ws_.DataModule1.cdsItens);
        reloadLookups();
    };
    dm.onMagiaPosted = [this] { afterSpellPosted(); };
}

TForm2::~TForm2() {
    TDataModule1& dm = ws_.DataModule1;
    dm.onItensListChanged = nullptr;
    dm.onMonstrosListChanged = nullptr;
    dm.onMagiasListChanged = nullptr;
    dm.onNewItem = nullptr;
    dm.onMagiaPosted = nullptr;
    // the bound controls go before the links they follow
    delete PageControl;
    PageControl = nullptr;
}

// --- building the pages ----------------------------------------------------------------

void TForm2::buildGame(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    auto* config = group("Configurações do Game", page);
    auto* g1 = new QGridLayout(config);
    EditNome = new QLineEdit(config);
    EditAutor = new QLineEdit(config);
    for (QLineEdit* e : {EditNome, EditAutor}) e->setValidator(new Cp1252LineValidator(e));
    ImageIcone = new QLabel(config);
    ImageIcone->setPixmap(iconPicture());
    ImageIcone->setFixedSize(32, 32);
    g1->addWidget(new QLabel(utf8("Nome:"), config), 0, 0);
    g1->addWidget(EditNome, 0, 1);
    g1->addWidget(new QLabel(utf8("Autor:"), config), 1, 0);
    g1->addWidget(EditAutor, 1, 1);
    g1->addWidget(new QLabel(utf8("Icone:"), config), 2, 0);
    g1->addWidget(ImageIcone, 2, 1, Qt::AlignLeft);
    outer->addWidget(config);

    auto* setup = group("Game Setup", page);
    auto* g2 = new QGridLayout(setup);
    EditMapaInicial = new QLineEdit(setup);
    EditMapaInicial->setValidator(new Cp1252LineValidator(EditMapaInicial));
    EditPosX = new QLineEdit(setup);
    EditPosY = new QLineEdit(setup);
    g2->addWidget(new QLabel(utf8("Mapa Incial:"), setup), 0, 0);
    g2->addWidget(EditMapaInicial, 0, 1);
    g2->addWidget(new QLabel(utf8("Posisão Inicial X:"), setup), 1, 0);
    g2->addWidget(EditPosX, 1, 1);
    g2->addWidget(new QLabel(utf8("Posisão Inicial Y:"), setup), 2, 0);
    g2->addWidget(EditPosY, 2, 1);
    outer->addWidget(setup);
    outer->addStretch();
}

QWidget* TForm2::previewBox(QGridLayout* grid, int row, int column, const QString& caption, const QString& key,
                            DatabasePage page, const QString& unit, int size) {
    QWidget* parent = grid->parentWidget();
    auto* cell = new QWidget(parent);
    auto* v = new QVBoxLayout(cell);
    v->setContentsMargins(2, 0, 2, 0);
    v->setSpacing(2);
    if (!caption.isEmpty()) v->addWidget(new QLabel(caption, cell), 0, Qt::AlignHCenter);
    auto* host = new QWidget(cell);
    host->setObjectName(key);
    host->setFixedSize(size, size);
    v->addWidget(host, 0, Qt::AlignHCenter);
    auto* editar = new QPushButton(QStringLiteral("Editar"), cell);
    editar->setFixedWidth(std::max(size, 65));
    v->addWidget(editar, 0, Qt::AlignHCenter);
    connect(editar, &QPushButton::clicked, this, [this, page, unit] { editFrames(page, unit); });
    grid->addWidget(cell, row, column, Qt::AlignTop | Qt::AlignHCenter);
    previewHosts.insert(key, host);
    editarButtons.insert(unit, editar);
    return host;
}

void TForm2::buildPersonagem(QWidget* page) {
    TDataModule1& dm = ws_.DataModule1;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(3);

    // Top: portrait, name, type and levels.
    auto* top = new QWidget(page);
    auto* tg = new QGridLayout(top);
    tg->setContentsMargins(0, 0, 0, 0);
    tg->setVerticalSpacing(2);
    HeroPortrait = new TBoundPicture(
        *heroLink_,
        [this]() -> QString {
            // the portrait keeps what it showed while the face file is missing
            const QString kept = HeroPortrait ? HeroPortrait->shownPath() : QString();
            RecordTable& hero = ws_.DataModule1.cdsPersonagem;
            if (!ws_.session().projectOpen() || !hero.active() || !hero.hasField("Face01")) return kept;
            const std::string face = hero.asString("Face01");
            if (face.empty() || face.find('/') != std::string::npos || face.find('\\') != std::string::npos)
                return kept;
            const QString path = projectPath(ws_.project.ProjectFolder, std::string_view("Imagens\\" + face));
            return fileExists(path) ? path : kept;
        },
        QSize(81, 81), top);
    tg->addWidget(HeroPortrait, 0, 0, 4, 1);
    auto rows = addBoundRows(tg, *heroLink_,
                             {{"Nome:", "Nome"},
                              {"Tipo:", "Tipo"},
                              {"Nv. Inicial:", "NvInicial", BoundField::Spin},
                              {"Nv. Max:", "NvMax", BoundField::Spin}},
                             0, 1);
    HeroNome = static_cast<TBoundEdit*>(rows[0]);
    HeroNvInicial = static_cast<TBoundSpin*>(rows[2]);
    HeroNvMax = static_cast<TBoundSpin*>(rows[3]);
    grid->addWidget(top, 0, 0);

    auto* faces = group("Faces", page);
    auto* fg = new QGridLayout(faces);
    fg->setContentsMargins(4, 2, 4, 2);
    previewBox(fg, 0, 0, QString(), QStringLiteral("HeroFaces"), DatabasePage::Personagem, QStringLiteral("uCharFaces"),
               81);
    grid->addWidget(faces, 0, 1);

    auto* atributos = group("Atributos", page);
    auto* ag = new QGridLayout(atributos);
    ag->setVerticalSpacing(2);
    addBoundRows(ag, *heroLink_,
                 {{"HP Inicial:", "HPInicial", BoundField::Integer},
                  {"MP Inicial:", "MPInicial", BoundField::Integer},
                  {"Força Inicial:", "ForcaInicial", BoundField::Integer},
                  {"Defesa Inicial:", "DefIncial", BoundField::Integer},
                  {"Agilidade Inicial:", "AgInicial", BoundField::Integer}},
                 0, 0);
    addBoundRows(ag, *heroLink_,
                 {{"HP Max:", "HPMax", BoundField::Integer},
                  {"MP Max:", "MPMax", BoundField::Integer},
                  {"Força Max:", "ForcaMax", BoundField::Integer},
                  {"Defesa Max:", "DefMax", BoundField::Integer},
                  {"Agilidade Max:", "AgMax", BoundField::Integer}},
                 0, 2);
    grid->addWidget(atributos, 1, 0);

    auto* animacao = group("Animação", page);
    auto* ang = new QGridLayout(animacao);
    ang->setContentsMargins(4, 2, 4, 2);
    previewBox(ang, 0, 0, utf8("Andando"), QStringLiteral("HeroAndando"), DatabasePage::Personagem,
               QStringLiteral("uCharAniEdit"));
    previewBox(ang, 0, 1, utf8("Morto"), QStringLiteral("HeroMorto"), DatabasePage::Personagem,
               QStringLiteral("uCharAniMorendo"));
    grid->addWidget(animacao, 1, 1);

    auto* magias = group("Magias", page);
    auto* mg = new QGridLayout(magias);
    mg->setVerticalSpacing(2);
    for (int i = 1; i <= 8; ++i) {
        auto* c = new TBoundLookup(*heroLink_, "Magia" + twoDigits(i), dm.cdsMagias, "Cod_Magia", "Nome", magias);
        mg->addWidget(c, (i - 1) % 4, (i - 1) / 4);
        HeroMagias.push_back(c);
    }
    grid->addWidget(magias, 2, 0);

    auto* batalha = group("Animação de Batalha", page);
    auto* bg = new QGridLayout(batalha);
    bg->setContentsMargins(4, 2, 4, 2);
    bg->setVerticalSpacing(2);
    const struct {
        const char* caption;
        const char* key;
        const char* unit;
    } battle[] = {
        {"Parado", "HeroBatParado", "uCharAniBatParado"},       {"Atacando", "HeroBatAtacando", "uCharAniBatAtacar"},
        {"Defendendo", "HeroBatDefendendo", "uCharAniBatDef"},  {"Usando Magia", "HeroBatMagia", "uCharAniBatMagic"},
        {"Atingido", "HeroBatAtingido", "uCharAniBatAtingido"}, {"Morto", "HeroBatMorto", "uCharAniBatMorrendo"}};
    for (int i = 0; i < 6; ++i)
        previewBox(bg, i / 3, i % 3, utf8(battle[i].caption), QString::fromLatin1(battle[i].key),
                   DatabasePage::Personagem, QString::fromLatin1(battle[i].unit));
    grid->addWidget(batalha, 2, 1, 2, 1);

    auto* itens = group("Itens", page);
    auto* ig = new QGridLayout(itens);
    ig->setVerticalSpacing(2);
    for (int i = 1; i <= 8; ++i) {
        auto* c = new TBoundLookup(*heroLink_, "Iten" + twoDigits(i), dm.cdsItens, "Nome", "Nome", itens);
        ig->addWidget(c, (i - 1) % 4, (i - 1) / 4);
        HeroItens.push_back(c);
    }
    grid->addWidget(itens, 3, 0);
    grid->setColumnStretch(0, 1);
}

void TForm2::buildInimigos(QWidget* page) {
    TDataModule1& dm = ws_.DataModule1;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(utf8("Lista de Inimigos"), page));
    ListaInimigos = new QListWidget(page);
    ListaInimigos->setFixedWidth(150);
    left->addWidget(ListaInimigos, 1);
    NovoInimigo = new QPushButton(utf8("Novo"), page);
    left->addWidget(NovoInimigo);
    grid->addLayout(left, 0, 0, 4, 1);
    connect(NovoInimigo, &QPushButton::clicked, this, &TForm2::NovoInimigoClick);
    connect(ListaInimigos, &QListWidget::currentRowChanged, this,
            [this] { selectEntry(ListaInimigos, ws_.DataModule1.cdsMonstros, DatabasePage::Inimigos); });

    auto* top = new QWidget(page);
    auto* tg = new QGridLayout(top);
    tg->setContentsMargins(0, 0, 0, 0);
    auto rows = addBoundRows(tg, *monstersLink_,
                             {{"Nome:", "Nome", BoundField::ReadOnlyText}, {"Nivel:", "Nivel", BoundField::Integer}});
    InimigoNome = static_cast<TBoundEdit*>(rows[0]);
    grid->addWidget(top, 0, 1);

    auto* face = group("Face", page);
    auto* fg = new QVBoxLayout(face);
    InimigoFace = new TBoundPicture(
        *monstersLink_,
        [this]() -> QString {
            RecordTable& t = ws_.DataModule1.cdsMonstros;
            if (!ws_.session().projectOpen() || !t.active() || !t.hasField("Face")) return {};
            return shownPicturePath(ws_.project.ProjectFolder, t.asString("Nome"), t.asString("Face"));
        },
        QSize(80, 80), face);
    InimigoFace->setCursor(Qt::PointingHandCursor);
    InimigoFace->onClick = [this] { InimigoFaceClick(); };
    fg->addWidget(InimigoFace, 0, Qt::AlignCenter);
    grid->addWidget(face, 0, 2);

    auto* atributos = group("Atributos", page);
    auto* ag = new QGridLayout(atributos);
    addBoundRows(ag, *monstersLink_,
                 {{"HP:", "HP", BoundField::Integer},
                  {"MP:", "MP", BoundField::Integer},
                  {"Força:", "Forca", BoundField::Integer},
                  {"Defesa:", "Defesa", BoundField::Integer},
                  {"Agilidade:", "Agilidade", BoundField::Integer}});
    grid->addWidget(atributos, 1, 1);

    auto* magias = group("Magias", page);
    auto* mg = new QVBoxLayout(magias);
    for (int i = 1; i <= 3; ++i) {
        auto* c =
            new TBoundLookup(*monstersLink_, "Magia" + std::to_string(i), dm.cdsMagias, "Cod_Magia", "Nome", magias);
        c->setMinimumWidth(150);
        mg->addWidget(c);
        InimigoMagias.push_back(c);
    }
    mg->addStretch();
    grid->addWidget(magias, 1, 2);

    auto* batalha = group("Animação de Batalha", page);
    auto* bg = new QGridLayout(batalha);
    previewBox(bg, 0, 0, utf8("Parado"), QStringLiteral("MonsterParado"), DatabasePage::Inimigos,
               QStringLiteral("uEnemyParado"));
    previewBox(bg, 0, 1, utf8("Atacando"), QStringLiteral("MonsterAtacando"), DatabasePage::Inimigos,
               QStringLiteral("uEnemyAtacando"));
    previewBox(bg, 0, 2, utf8("Usando Magia"), QStringLiteral("MonsterMagia"), DatabasePage::Inimigos,
               QStringLiteral("uEnemyMagic"));
    grid->addWidget(batalha, 2, 1, 1, 2);

    auto* ganhar = group("Ganhar", page);
    auto* gg = new QGridLayout(ganhar);
    addBoundRows(gg, *monstersLink_,
                 {{"Exp. Ganhada ao Vencer:", "ExpGanha", BoundField::Integer},
                  {"Dinheiro Ganho ao Vencer:", "Dinheiro", BoundField::Integer}});
    grid->addWidget(ganhar, 3, 1, 1, 2);
    grid->setRowStretch(4, 1);
}

void TForm2::buildItens(QWidget* page) {
    TDataModule1& dm = ws_.DataModule1;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    NavItens = new TDBNavigator(ws_, dm.cdsItens, page);
    NavItens->onAction = [this](TDBNavigator::Button b) {
        if (b == TDBNavigator::Refresh) rebuildList(ListaItens, ws_.DataModule1.cdsItens);
        previews().recordChanged(DatabasePage::Itens);
    };
    grid->addWidget(NavItens, 0, 0, 1, 3);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(utf8("Lista de Itens"), page));
    ListaItens = new QListWidget(page);
    ListaItens->setFixedWidth(150);
    left->addWidget(ListaItens, 1);
    NovoItem = new QPushButton(utf8("Novo"), page);
    left->addWidget(NovoItem);
    grid->addLayout(left, 1, 0, 5, 1);
    connect(NovoItem, &QPushButton::clicked, this, &TForm2::NovoItemClick);
    connect(ListaItens, &QListWidget::currentRowChanged, this,
            [this] { selectEntry(ListaItens, ws_.DataModule1.cdsItens, DatabasePage::Itens); });

    auto* top = new QWidget(page);
    auto* tg = new QGridLayout(top);
    tg->setContentsMargins(0, 0, 0, 0);
    auto rows = addBoundRows(tg, *itensLink_, {{"Nome:", "Nome"}, {"Descrição:", "Descricao"}});
    ItemNome = static_cast<TBoundEdit*>(rows[0]);
    ItemOK = new QPushButton(QStringLiteral("OK"), top);
    ItemOK->setFixedWidth(40);
    tg->addWidget(ItemOK, 0, 2);
    connect(ItemOK, &QPushButton::clicked, this, &TForm2::ItemOKClick);
    grid->addWidget(top, 1, 1, 1, 2);

    auto* acao = group("Ação", page);
    auto* acg = new QGridLayout(acao);
    acg->addWidget(new QLabel(utf8("Ação"), acao), 0, 0);
    ItemAcao = new TBoundCodeList(*itensLink_, "Acao", kAcoes, acao);
    acg->addWidget(ItemAcao, 0, 1);
    addBoundRows(acg, *itensLink_, {{"Quantidade:", "AcaoAux", BoundField::Integer}}, 1, 0);
    grid->addWidget(acao, 2, 1);

    auto* utilizacao = group("Utilização", page);
    auto* ug = new QVBoxLayout(utilizacao);
    ug->addWidget(new TBoundCheck(*itensLink_, "usMapa", utf8("Modo Mapa"), utilizacao));
    ug->addWidget(new TBoundCheck(*itensLink_, "usBatlle", utf8("Modo Batalha"), utilizacao));
    grid->addWidget(utilizacao, 2, 2);

    auto* imagem = group("Imagem", page);
    auto* img = new QVBoxLayout(imagem);
    ItemImagem = new TBoundPicture(
        *itensLink_,
        [this]() -> QString {
            RecordTable& t = ws_.DataModule1.cdsItens;
            if (!ws_.session().projectOpen() || !t.active() || !t.hasField("Imagem")) return {};
            return shownPicturePath(ws_.project.ProjectFolder, t.asString("Nome"), t.asString("Imagem"));
        },
        QSize(65, 65), imagem);
    img->addWidget(ItemImagem, 0, Qt::AlignHCenter);
    ItemEditarImagem = new QPushButton(QStringLiteral("Editar"), imagem);
    img->addWidget(ItemEditarImagem);
    connect(ItemEditarImagem, &QPushButton::clicked, this, &TForm2::ItemEditarImagemClick);
    grid->addWidget(imagem, 3, 1);

    auto* animacao = group("Animação", page);
    auto* ang = new QGridLayout(animacao);
    previewBox(ang, 0, 0, QString(), QStringLiteral("ItemAnim"), DatabasePage::Itens, QStringLiteral("uAniItem"));
    grid->addWidget(animacao, 3, 2);

    auto* evento = group("Executar Evento", page);
    auto* eg = new QVBoxLayout(evento);
    ItemEvento = new TBoundMemo(*itensLink_, "Evento", evento);
    eg->addWidget(ItemEvento);
    grid->addWidget(evento, 4, 1, 2, 2);
    grid->setRowStretch(4, 1);
    setItemNaming(false);
}

void TForm2::buildMagias(QWidget* page) {
    TDataModule1& dm = ws_.DataModule1;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    NavMagias = new TDBNavigator(ws_, dm.cdsMagias, page);
    NavMagias->onAction = [this](TDBNavigator::Button b) {
        if (b == TDBNavigator::Refresh) rebuildList(ListaMagias, ws_.DataModule1.cdsMagias);
        previews().recordChanged(DatabasePage::Magias);
    };
    grid->addWidget(NavMagias, 0, 0, 1, 3);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(utf8("Lista de Magias"), page));
    ListaMagias = new QListWidget(page);
    ListaMagias->setFixedWidth(150);
    left->addWidget(ListaMagias, 1);
    NovaMagia = new QPushButton(utf8("Novo"), page);
    left->addWidget(NovaMagia);
    grid->addLayout(left, 1, 0, 5, 1);
    connect(NovaMagia, &QPushButton::clicked, this, &TForm2::NovaMagiaClick);
    connect(ListaMagias, &QListWidget::currentRowChanged, this,
            [this] { selectEntry(ListaMagias, ws_.DataModule1.cdsMagias, DatabasePage::Magias); });

    auto* top = new QWidget(page);
    auto* tg = new QGridLayout(top);
    tg->setContentsMargins(0, 0, 0, 0);
    auto rows = addBoundRows(tg, *magiasLink_, {{"Nome:", "Nome"}, {"Descrição:", "Descri\xE7\xE3o"}});
    MagiaNome = static_cast<TBoundEdit*>(rows[0]);
    auto* ok = new QPushButton(QStringLiteral("OK"), top);  // it has no action
    ok->setFixedWidth(40);
    tg->addWidget(ok, 0, 2);
    grid->addWidget(top, 1, 1, 1, 2);

    auto* valores = new QWidget(page);
    auto* vg = new QGridLayout(valores);
    vg->setContentsMargins(0, 0, 0, 0);
    LabelDano = new QLabel(damageLabelFor(0), valores);
    vg->addWidget(LabelDano, 0, 0);
    vg->addWidget(new TBoundEdit(*magiasLink_, "DanoCausado", valores), 0, 1);
    addBoundRows(vg, *magiasLink_, {{"Custo(MP):", "CustoDeMP", BoundField::Integer}}, 1, 0);
    grid->addWidget(valores, 2, 1, 1, 2);

    auto* tipo = group("Tipo de Magia", page);
    auto* tpg = new QVBoxLayout(tipo);
    MagiaTipo = new TBoundCodeList(*magiasLink_, "TipoMagia",
                                   {utf8("Causar dano ao Inimigo"), utf8("Recuperar HP"), utf8("Recuperar MP")}, tipo);
    MagiaTipo->onChosen = [this](int i) { LabelDano->setText(damageLabelFor(i)); };
    tpg->addWidget(MagiaTipo);
    grid->addWidget(tipo, 3, 1);

    auto* tipoAnim = group("Tipo de Animação", page);
    auto* tag = new QVBoxLayout(tipoAnim);
    MagiaTipoAnim =
        new TBoundCodeList(*magiasLink_, "TipoAnim", {utf8("Ir até o inimigo"), utf8("Centro da tela")}, tipoAnim);
    tag->addWidget(MagiaTipoAnim);
    grid->addWidget(tipoAnim, 3, 2);

    auto* animacao = group("Animação", page);
    auto* ang = new QGridLayout(animacao);
    previewBox(ang, 0, 0, QString(), QStringLiteral("SpellAnim"), DatabasePage::Magias, QStringLiteral("uMagicAni"));
    grid->addWidget(animacao, 4, 1);

    auto* utilizacao = group("Utilização", page);  // the spells table has no fields for these
    auto* ug = new QVBoxLayout(utilizacao);
    ug->addWidget(new QCheckBox(utf8("Modo Mapa"), utilizacao));
    ug->addWidget(new QCheckBox(utf8("Modo Batalha"), utilizacao));
    grid->addWidget(utilizacao, 4, 2);
    grid->setRowStretch(5, 1);
}

// --- links ------------------------------------------------------------------------------------

void TForm2::setFramePreviewsLink(FramePreviewsLink* link) {
    previews_ = link;
    if (!link) return;
    for (auto it = previewHosts.begin(); it != previewHosts.end(); ++it) link->attach(it.key(), it.value());
}

void TForm2::setTilesPageLink(TilesPageLink* link) {
    tiles_ = link;
    if (link) link->build(TabTiles);
}

FramePreviewsLink& TForm2::previews() {
    if (!previews_)
        throw Error("A janela Banco de Dados não tem FramePreviewsLink: as pré-visualizações e os editores de "
                    "quadros não foram ligados");
    return *previews_;
}

TilesPageLink& TForm2::tilesLink() {
    if (!tiles_) throw Error("A janela Banco de Dados não tem TilesPageLink: a página \"Tiles\" não foi ligada");
    return *tiles_;
}

// --- showing and closing ------------------------------------------------------------------------

void TForm2::Execute() {
    if (!ws_.session().projectOpen()) return;
    FormShow();
    exec();
}

void TForm2::FormShow() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    fillGame();
    if (!openedOnce_) {
        openedOnce_ = true;
        ws_.run([this] { enterPage(inFront_); });
    }
}

void TForm2::fillGame() {
    const GameEntries e = gameEntriesFrom(ws_.project);
    EditNome->setText(fromCp1252(e.nome));
    EditAutor->setText(fromCp1252(e.autor));
    EditMapaInicial->setText(fromCp1252(e.mapaInicial));
    EditPosX->setText(QString::fromStdString(e.x));
    EditPosY->setText(QString::fromStdString(e.y));
}

bool TForm2::FormCloseQuery() {
    return ws_.run([this] {
        GameEntries e;
        e.nome = toCp1252(EditNome->text());
        e.autor = toCp1252(EditAutor->text());
        e.mapaInicial = toCp1252(EditMapaInicial->text());
        e.x = toCp1252(EditPosX->text());
        e.y = toCp1252(EditPosY->text());
        takeGameEntries(ws_.project, e);  // steps 1 and 2
        heroOnClose(ws_.DataModule1.cdsPersonagem);
        notifyTilesChanged();
    });
}

void TForm2::reject() {
    if (!FormCloseQuery()) return;
    QDialog::reject();
}

void TForm2::notifyTilesChanged() {
    // The palette is rebuilt and the map repainted from the tile image cache.
    emit ws_.session().tilesChanged();
}

// --- page steps ------------------------------------------------------------------------------------

void TForm2::showPage(DatabasePage page) {
    const int index = static_cast<int>(page);
    if (PageControl->currentIndex() == index) return;  // no step when it is already in front
    PageControl->setCurrentIndex(index);
}

void TForm2::pageChanged(int index) {
    const DatabasePage leaving = inFront_;
    inFront_ = static_cast<DatabasePage>(index);
    if (leaving == inFront_) return;
    ws_.run([&] { leavePage(leaving); });
    ws_.run([&] { enterPage(inFront_); });
}

void TForm2::enterPage(DatabasePage page) {
    TDataModule1& dm = ws_.DataModule1;
    const QString& folder = ws_.project.ProjectFolder;
    switch (page) {
    case DatabasePage::Game:
        fillGame();
        break;
    case DatabasePage::Personagem:
        previews();
        reloadLookups();
        previews().pageEntered(DatabasePage::Personagem);
        HeroPortrait->reload();
        heroEntered(dm.cdsPersonagem);
        break;
    case DatabasePage::Inimigos:
        previews();
        monstersEntered(dm.cdsMonstros, folder);
        rebuildList(ListaInimigos, dm.cdsMonstros);
        reloadLookups();
        InimigoFace->reload();
        previews().pageEntered(DatabasePage::Inimigos);
        InimigoNome->setReadOnly(true);
        break;
    case DatabasePage::Itens:
        previews();
        rebuildList(ListaItens, dm.cdsItens);
        ItemImagem->reload();
        previews().pageEntered(DatabasePage::Itens);
        setItemNaming(false);
        break;
    case DatabasePage::Magias:
        previews();
        rebuildList(ListaMagias, dm.cdsMagias);
        previews().pageEntered(DatabasePage::Magias);
        break;
    case DatabasePage::Tiles:
        tilesLink().entered();
        break;
    }
}

void TForm2::leavePage(DatabasePage page) {
    TDataModule1& dm = ws_.DataModule1;
    switch (page) {
    case DatabasePage::Personagem:
        previews().pageLeft(DatabasePage::Personagem);
        heroLeft(dm.cdsPersonagem);
        break;
    case DatabasePage::Inimigos:
        previews().pageLeft(DatabasePage::Inimigos);
        monstersLeft(dm.cdsMonstros);
        break;
    case DatabasePage::Itens:
        previews().pageLeft(DatabasePage::Itens);
        break;
    case DatabasePage::Magias:
        previews().pageLeft(DatabasePage::Magias);
        break;
    default:
        break;
    }
}

void TForm2::rebuildList(QListWidget* list, RecordTable& table) {
    const std::vector<std::string> names = rebuildRecordList(table);
    QStringList entries;
    entries.reserve(static_cast<int>(names.size()));
    for (const std::string& n : names) entries << fromCp1252(n);
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(entries);
}

void TForm2::reloadLookups() {
    for (TBoundLookup* c : HeroMagias) c->reloadEntries();
    for (TBoundLookup* c : HeroItens) c->reloadEntries();
    for (TBoundLookup* c : InimigoMagias) c->reloadEntries();
}

void TForm2::selectEntry(QListWidget* list, RecordTable& table, DatabasePage page) {
    QListWidgetItem* item = list->currentItem();
    if (!item) return;
    const std::string name = toCp1252(item->text());
    ws_.run([&] {
        selectRecordByName(table, name);
        // a pending edit committed on the way may have rebuilt the list
        {
            const QSignalBlocker block(list);
            list->setCurrentRow(table.recNo() - 1);
        }
        if (page == DatabasePage::Inimigos) {
            InimigoNome->setReadOnly(true);
            table.edit();
        }
        previews().recordChanged(page);
    });
}

// --- "Inimigos" -----------------------------------------------------------------------------------

void TForm2::NovoInimigoClick() {
    ws_.run([this] {
        const std::optional<QString> typed =
            ws_.prompts().input(utf8("Novo Inimigo"), utf8("Digite o nome do Inimigo:"), QString());
        if (!typed) return;
        const std::string name = toCp1252(*typed);
        std::vector<std::string> listed;
        for (int i = 0; i < ListaInimigos->count(); ++i) listed.push_back(toCp1252(ListaInimigos->item(i)->text()));
        RecordTable& monsters = ws_.DataModule1.cdsMonstros;
        if (!novoInimigo(monsters, ws_.project.ProjectFolder, name, listed)) {
            ws_.prompts().notice(utf8("Este Inimigo já existe, utilize outro nome."));
            return;
        }
        {
            const QSignalBlocker block(ListaInimigos);
            ListaInimigos->addItem(fromCp1252(name));
            ListaInimigos->setCurrentRow(ListaInimigos->count() - 1);
        }
        previews().recordChanged(DatabasePage::Inimigos);
    });
}

void TForm2::InimigoFaceClick() {
    ws_.run([this] {
        RecordTable& t = ws_.DataModule1.cdsMonstros;
        if (!t.active() || (!t.editing() && t.recNo() == 0)) return;
        const std::optional<QString> file = ws_.prompts().openPicture();
        if (!file) return;
        Picture picture;
        picture.LoadFromFile(*file);
        writeRecordPicture(picture, ws_.project.ProjectFolder, t.asString("Nome"), t.asString("Face"), kInimigo);
        InimigoFace->reload();
    });
}

// --- "Itens" ------------------------------------------------------------------------------------------

void TForm2::setItemNaming(bool on) {
    ItemNome->setEnabled(on);
    ItemOK->setEnabled(on);
}

void TForm2::afterItemInserted() {
    setItemNaming(true);
    ItemImagem->reload();  // the record has no name yet: the placeholder
}

void TForm2::NovoItemClick() {
    ws_.run([this] {
        ws_.DataModule1.cdsItens.insert();
        ItemNome->setFocus();
        previews().recordChanged(DatabasePage::Itens);
    });
}

void TForm2::ItemOKClick() {
    ws_.run([this] {
        RecordTable& t = ws_.DataModule1.cdsItens;
        makeRecordFolder(ws_.project.ProjectFolder, t.asString("Nome"), kItem);
        setItemNaming(false);
    });
}

void TForm2::ItemEditarImagemClick() {
    ws_.run([this] {
        RecordTable& t = ws_.DataModule1.cdsItens;
        if (!t.active() || (!t.editing() && t.recNo() == 0)) return;
        if (const std::optional<QString> file = ws_.prompts().openPicture()) {
            Picture picture;
            picture.LoadFromFile(*file);
            ItemImagem->setPicture(picture);
        }
        // chosen or not, the picture shown is written
        writeRecordPicture(ItemImagem->picture(), ws_.project.ProjectFolder, t.asString("Nome"), t.asString("Imagem"),
                           kItem);
    });
}

// --- "Magias" -------------------------------------------------------------------------------------------

void TForm2::NovaMagiaClick() {
    ws_.run([this] {
        ws_.DataModule1.cdsMagias.insert();
        MagiaNome->setFocus();
        previews().recordChanged(DatabasePage::Magias);
    });
}

void TForm2::afterSpellPosted() {
    // a named spell gets its record folder, where its frames are kept
    if (!ws_.session().projectOpen()) return;
    RecordTable& t = ws_.DataModule1.cdsMagias;
    const std::string name = t.asString("Nome");
    if (!folderNameProblem(name, "magia").empty()) return;
    makeRecordFolder(ws_.project.ProjectFolder, name, "magia");
}

// --- frame-set editors ------------------------------------------------------------------------------------

void TForm2::editFrames(DatabasePage page, const QString& unit) {
    ws_.run([&] {
        previews().editFrames(unit);
        // the editor may have changed frame names and files: show them again
        switch (page) {
        case DatabasePage::Personagem:
            heroLink_->refreshAll();
            HeroPortrait->reload();
            break;
        case DatabasePage::Inimigos:
            monstersLink_->refreshAll();
            InimigoFace->reload();
            break;
        case DatabasePage::Itens:
            itensLink_->refreshAll();
            break;
        default:
            magiasLink_->refreshAll();
            break;
        }
        previews().recordChanged(page);
    });
}

}  // namespace quillmark
