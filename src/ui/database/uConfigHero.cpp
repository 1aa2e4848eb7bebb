// The "Personagem" page of the database window: the hero record's fields,
// its frame previews with their "Editar" buttons, and its spell and item lists.
#include "model/core/Paths.h"
#include "model/session/Workspace.h"
#include "ui/database/uBoundControls.h"
#include "ui/database/uConfig.h"
#include "ui/database/uPageParts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

using pageparts::group;
using pageparts::twoDigits;
using pageparts::utf8;

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
    TDataModule1& dm = ws_.session().tables();
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
            RecordTable& hero = ws_.session().tables().cdsPersonagem;
            if (!ws_.session().projectOpen() || !hero.active() || !hero.hasField("Face01")) return kept;
            const std::string face = hero.asString("Face01");
            if (face.empty() || face.find('/') != std::string::npos || face.find('\\') != std::string::npos)
                return kept;
            const QString path =
                projectPath(ws_.session().project().ProjectFolder, std::string_view("Imagens\\" + face));
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

}  // namespace quillmark
