// The three record-list pages of the database window, "Inimigos", "Itens" and
// "Magias": each is one TRecordListPage configured with its table, and the
// fields, pictures and previews of its record to the right of the list.
// Records change through the model's DatabaseCommands.
#include "model/core/Names.h"
#include "model/core/Text.h"
#include "model/database/DatabasePages.h"
#include "model/session/Workspace.h"
#include "ui/database/uBoundControls.h"
#include "ui/database/uConfig.h"
#include "ui/database/uDBNavigator.h"
#include "ui/database/uPageParts.h"
#include "ui/database/uRecordListPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

using pageparts::group;
using pageparts::utf8;

namespace {

const QStringList kAcoes = {utf8("Aumentar HP Atual"),  utf8("Aumentar MP Atual"),    utf8("Aumentar HP"),
                            utf8("Aumentar MP"),        utf8("Aumentar Força"),       utf8("Aumentar Defesa"),
                            utf8("Aumentar Agilidade"), utf8("Aumentar Experiencia"), utf8("Aumentar Nivel")};

}  // namespace

const RecordListConfig TForm2::kRecordPages[3] = {
    {RecordKind::Monster, DatabasePage::Inimigos, "Lista de Inimigos", false},
    {RecordKind::Item, DatabasePage::Itens, "Lista de Itens", true},
    {RecordKind::Spell, DatabasePage::Magias, "Lista de Magias", true},
};

// --- building the pages ----------------------------------------------------------------

void TForm2::buildInimigos(TRecordListPage* page) {
    TDataModule1& dm = ws_.session().tables();
    QGridLayout* grid = page->grid();
    ListaInimigos = page->list();
    NovoInimigo = page->novo();
    page->onNovo = [this] { NovoInimigoClick(); };
    page->onSelected = [this] {
        InimigoNome->setReadOnly(true);
        ws_.session().tables().cdsMonstros.edit();
    };
    page->onRecordChanged = [this] { previews().recordChanged(DatabasePage::Inimigos); };

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
            RecordTable& t = ws_.session().tables().cdsMonstros;
            if (!ws_.session().projectOpen() || !t.active() || !t.hasField("Face")) return {};
            return shownPicturePath(ws_.session().project().ProjectFolder, t.asString("Nome"), t.asString("Face"));
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

void TForm2::buildItens(TRecordListPage* page) {
    QGridLayout* grid = page->grid();
    NavItens = page->navigator();
    ListaItens = page->list();
    NovoItem = page->novo();
    page->onNovo = [this] { NovoItemClick(); };
    page->onInsertedByNavigator = [this] { ItemNome->setFocus(); };
    page->onRecordChanged = [this] {
        ItemImagem->reload();
        previews().recordChanged(DatabasePage::Itens);
    };

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
            RecordTable& t = ws_.session().tables().cdsItens;
            if (!ws_.session().projectOpen() || !t.active() || !t.hasField("Imagem")) return {};
            return shownPicturePath(ws_.session().project().ProjectFolder, t.asString("Nome"), t.asString("Imagem"));
        },
        QSize(65, 65), imagem);
    ItemImagem->setTransparent(true);  // drawn as the game draws it, without its key colour
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

void TForm2::buildMagias(TRecordListPage* page) {
    QGridLayout* grid = page->grid();
    NavMagias = page->navigator();
    ListaMagias = page->list();
    NovaMagia = page->novo();
    page->onNovo = [this] { NovaMagiaClick(); };
    page->onInsertedByNavigator = [this] { MagiaNome->setFocus(); };
    page->onRecordChanged = [this] { previews().recordChanged(DatabasePage::Magias); };

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

// --- "Inimigos" -----------------------------------------------------------------------------------

void TForm2::NovoInimigoClick() {
    ws_.run([this] {
        const std::optional<QString> typed =
            ws_.prompts().input(utf8("Novo Inimigo"), utf8("Digite o nome do Inimigo:"), QString());
        if (!typed) return;
        const std::string name = toCp1252(*typed);
        // the name is checked against the table, whatever the list shows
        if (!commands().insertMonster(name)) {
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
        RecordTable& t = ws_.session().tables().cdsMonstros;
        if (!t.active() || (!t.editing() && t.recNo() == 0)) return;
        const std::optional<QString> file = ws_.prompts().openPicture();
        if (!file) return;
        Picture picture;
        picture.LoadFromFile(*file);
        commands().storePicture(RecordKind::Monster, picture, "Face");
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
    {
        // a new item has no action yet: the list shows none, not the last item's
        const QSignalBlocker block(ItemAcao);
        ItemAcao->setCurrentIndex(-1);
    }
    ItemImagem->reload();  // the record has no name yet: the placeholder
}

void TForm2::NovoItemClick() {
    ws_.run([this] {
        ws_.session().tables().cdsItens.insert();
        ItemNome->setFocus();
        PageItens->highlightCurrent();
        previews().recordChanged(DatabasePage::Itens);
    });
}

void TForm2::ItemOKClick() {
    ws_.run([this] {
        commands().nameRecord(RecordKind::Item);
        setItemNaming(false);
    });
}

void TForm2::ItemEditarImagemClick() {
    ws_.run([this] {
        RecordTable& t = ws_.session().tables().cdsItens;
        if (!t.active() || (!t.editing() && t.recNo() == 0)) return;
        if (const std::optional<QString> file = ws_.prompts().openPicture()) {
            Picture picture;
            picture.LoadFromFile(*file);
            ItemImagem->setPicture(picture);
        }
        // chosen or not, the picture shown is written
        commands().storePicture(RecordKind::Item, ItemImagem->picture(), "Imagem");
    });
}

// --- "Magias" -------------------------------------------------------------------------------------------

void TForm2::NovaMagiaClick() {
    ws_.run([this] {
        ws_.session().tables().cdsMagias.insert();
        MagiaNome->setFocus();
        PageMagias->highlightCurrent();
        previews().recordChanged(DatabasePage::Magias);
    });
}

void TForm2::afterSpellPosted() {
    // a named spell gets its record folder, where its frames are kept
    if (!ws_.session().projectOpen()) return;
    RecordTable& t = ws_.session().tables().cdsMagias;
    if (!folderNameProblem(t.asString("Nome"), recordKindInfo(RecordKind::Spell).what).empty()) return;
    commands().nameRecord(RecordKind::Spell);
}

// --- frame-set editors ------------------------------------------------------------------------------------

TRecordListPage* TForm2::recordPage(DatabasePage page) const {
    switch (page) {
    case DatabasePage::Inimigos:
        return PageInimigos;
    case DatabasePage::Itens:
        return PageItens;
    case DatabasePage::Magias:
        return PageMagias;
    default:
        return nullptr;
    }
}

void TForm2::editFrames(DatabasePage page, const QString& unit) {
    ws_.run([&] {
        previews();
        // a record being inserted is committed first, so that its frames have a folder to go to
        if (TRecordListPage* records = recordPage(page)) {
            if (!records->readyForFrames()) return;
            if (page == DatabasePage::Itens && ws_.session().tables().cdsItens.state() != RecordTable::State::Insert)
                setItemNaming(false);
        }
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
