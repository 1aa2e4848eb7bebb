#include "ui/database/uConfig.h"

#include "model/core/Error.h"
#include "model/core/HeroStart.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DatabasePages.h"
#include "model/session/Workspace.h"
#include "ui/common/uTextValidator.h"
#include "ui/database/uBoundControls.h"
#include "ui/database/uDBNavigator.h"
#include "ui/database/uPageParts.h"
#include "ui/database/uRecordListPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace quillmark {

using pageparts::group;
using pageparts::utf8;

namespace {

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
    commands_ = new DatabaseCommands(
        dm, [this] { return ws_.project.ProjectFolder; }, this);
    auto* game = new QWidget(PageControl);
    auto* hero = new QWidget(PageControl);
    PageInimigos = new TRecordListPage(ws_, *commands_, kRecordPages[0], PageControl);
    PageItens = new TRecordListPage(ws_, *commands_, kRecordPages[1], PageControl);
    PageMagias = new TRecordListPage(ws_, *commands_, kRecordPages[2], PageControl);
    TabTiles = new QWidget(PageControl);
    const std::pair<QWidget*, const char*> tabs[] = {
        {game, "Game"},       {hero, "Personagem"},   {PageInimigos, "Inimigos"},
        {PageItens, "Itens"}, {PageMagias, "Magias"}, {TabTiles, "Tiles"}};
    for (const auto& [page, caption] : tabs) PageControl->addTab(page, utf8(caption));
    buildGame(game);
    buildPersonagem(hero);
    buildInimigos(PageInimigos);
    buildItens(PageItens);
    buildMagias(PageMagias);
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this, &TForm2::pageChanged);

    // The data holder's notifications.
    dm.onItensListChanged = [this] {
        PageItens->rebuild();
        reloadLookups();
    };
    dm.onMonstrosListChanged = [this] { PageInimigos->rebuild(); };
    dm.onMagiasListChanged = [this] {
        PageMagias->rebuild();
        reloadLookups();
    };
    dm.onNewItem = [this] { afterItemInserted(); };
    // A table opened again (another project) or closed: its list shows what it now holds.
    monstersLink_->onChange = [this](TableChange c) {
        if (c == TableChange::Opened || c == TableChange::Closed) PageInimigos->rebuild();
    };
    itensLink_->onChange = [this](TableChange c) {
        if (c != TableChange::Opened && c != TableChange::Closed) return;
        PageItens->rebuild();
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
    // Once shown, in front of the main window and active, with or without a
    // window manager to do it.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible()) return;
        raise();
        activateWindow();
    });
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
        warnOfHeroStart();
        heroOnClose(ws_.DataModule1.cdsPersonagem);
        // No palette rebuild here: a tile editor's OK already refilled the
        // cache and told the palette and the map, and a rebuild on every
        // closing would only drop the brush's frame in the palette.
    });
}

// The numbers are stored as typed; a start the game cannot place on the
// initial map is pointed out once they are.
void TForm2::warnOfHeroStart() {
    const std::string outside = judgeHeroStart(ws_.project).outside;
    if (outside.empty()) return;
    QString text = QString::fromUtf8(outside);
    text[0] = text[0].toUpper();
    ws_.prompts().warning(
        text + QStringLiteral(". Os números foram gravados; o jogo põe o herói na célula do mapa mais próxima."));
}

DatabaseCommands& TForm2::commands() { return *commands_; }

// Esc never closes the window (the close box does): where the navigator's
// cancel would, it cancels the record's edit, and otherwise it does nothing.
void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    TRecordListPage* page = recordPage(inFront_);
    if (!page || !page->navigator()) return;
    if (page->table().active() && page->table().editing()) page->navigator()->click(TDBNavigator::Cancel);
}

void TForm2::reject() {
    if (!FormCloseQuery()) return;
    QDialog::reject();
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
        PageInimigos->rebuild();
        reloadLookups();
        InimigoFace->reload();
        previews().pageEntered(DatabasePage::Inimigos);
        InimigoNome->setReadOnly(true);
        break;
    case DatabasePage::Itens:
        previews();
        PageItens->rebuild();
        ItemImagem->reload();
        previews().pageEntered(DatabasePage::Itens);
        setItemNaming(false);
        break;
    case DatabasePage::Magias:
        previews();
        PageMagias->rebuild();
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

void TForm2::reloadLookups() {
    for (TBoundLookup* c : HeroMagias) c->reloadEntries();
    for (TBoundLookup* c : HeroItens) c->reloadEntries();
    for (TBoundLookup* c : InimigoMagias) c->reloadEntries();
}

}  // namespace quillmark
