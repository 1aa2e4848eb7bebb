#include "ui/main/uMapa.h"

#include "model/core/Paths.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/mapedit/MapProperties.h"
#include "model/session/Workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quillmark {

TClickImage::TClickImage(QWidget* parent) : QLabel(parent) {
    setScaledContents(true);
    setCursor(Qt::PointingHandCursor);
}

void TClickImage::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) onClick();
}

TFormMP::TFormMP(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormMP"));
    setWindowTitle(QStringLiteral("Propriedades do Mapa"));
    setModal(true);

    GroupAutoRun = new QGroupBox(QStringLiteral("Auto Run Event"), this);
    MemoAutoRun = new QPlainTextEdit(GroupAutoRun);
    MemoAutoRun->setFixedHeight(70);
    auto* autoRunLayout = new QVBoxLayout(GroupAutoRun);
    autoRunLayout->addWidget(MemoAutoRun);

    GroupBatalhas = new QGroupBox(QStringLiteral("Batalhas"), this);
    CheckBatalhas = new QCheckBox(QStringLiteral("Ativar Batalhas Randomicas"), GroupBatalhas);
    auto* enemies = new QGridLayout();
    QComboBox** combos[] = {&Enemy1, &Enemy2, &Enemy3};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QStringLiteral("Enemy %1:").arg(i + 1), GroupBatalhas);
        auto* combo = new QComboBox(GroupBatalhas);
        combo->setEditable(false);
        combo->setMinimumWidth(150);
        label->setBuddy(combo);
        enemies->addWidget(label, i, 0);
        enemies->addWidget(combo, i, 1);
        *combos[i] = combo;
    }
    Image1 = new TClickImage(GroupBatalhas);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(153, 81);
    Image1->setToolTip(QString::fromUtf8(kBattleBackgroundHint));
    Image1->onClick = [this] { Image1Click(); };

    auto* battleRow = new QHBoxLayout();
    battleRow->addLayout(enemies);
    battleRow->addSpacing(12);
    battleRow->addWidget(Image1, 0, Qt::AlignTop);
    auto* battleLayout = new QVBoxLayout(GroupBatalhas);
    battleLayout->addWidget(CheckBatalhas);
    battleLayout->addLayout(battleRow);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupAutoRun);
    layout->addWidget(GroupBatalhas);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    loadPicture(std::string());

    ws_.session().links().mapProperties.fill([this] { Execute(); });
}

TFormMP::~TFormMP() { ws_.session().links().mapProperties.clear(); }

// The map's own battle background when it has one, else the picture of the
// editor folder shown until one is chosen. A picture that cannot be read is
// left empty: the dialog still opens.
void TFormMP::loadPicture(const std::string& map) {
    picture_ = Picture();
    QString path;
    if (!map.empty()) path = battleBackgroundPath(ws_.project.ProjectFolder, map);
    if (path.isEmpty() || !fileExists(path))
        path = projectPath(ws_.EditorFolder.isEmpty() ? editorFolder() : ws_.EditorFolder,
                           std::string_view(kDefaultBattleBackground));
    try {
        picture_.LoadFromFile(path);
    } catch (const std::exception&) {
        picture_ = Picture();
    }
    showPicture();
}

void TFormMP::showPicture() {
    Image1->setPixmap(picture_.isEmpty() ? QPixmap() : QPixmap::fromImage(picture_.image()));
}

void TFormMP::Execute() {
    if (!ws_.session().projectOpen() || !ws_.session().mapLoaded()) return;
    const QString folder = ws_.project.ProjectFolder;
    const std::string map = ws_.grid.CurrentMap;
    // A table that cannot be read is reported and left alone: nothing is stored over it.
    bool readable = true;
    ws_.run([&] {
        try {
            showSettings(readMapSettings(folder, map));
        } catch (...) {
            readable = false;
            throw;
        }
    });
    if (!readable) return;
    loadPicture(map);
    exec();
    ws_.run([&] { storeMapSettings(folder, map, shownSettings()); });
}

void TFormMP::showSettings(const MapSettings& settings) {
    std::vector<std::string> names;
    RecordTable& monsters = ws_.DataModule1.cdsMonstros;
    if (monsters.active() && monsters.hasField("Nome")) names = monsters.values("Nome");
    MemoAutoRun->setPlainText(fromCp1252(settings.EvetoAutoRun).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    CheckBatalhas->setChecked(settings.EnemysTipe);
    QComboBox* combos[] = {Enemy1, Enemy2, Enemy3};
    for (int i = 0; i < 3; ++i) {
        QComboBox* c = combos[i];
        c->clear();
        c->addItem(QString());  // no monster
        for (const std::string& n : names)
            if (!n.empty()) c->addItem(fromCp1252(n));
        const QString stored = fromCp1252(settings.Enemy[static_cast<std::size_t>(i)]);
        // A stored name no monster has any more stays as it is until changed.
        if (!stored.isEmpty() && c->findText(stored, Qt::MatchExactly) < 0) c->addItem(stored);
        c->setCurrentIndex(std::max(0, c->findText(stored, Qt::MatchExactly)));
    }
}

MapSettings TFormMP::shownSettings() const {
    MapSettings s;
    s.EvetoAutoRun = toCp1252(MemoAutoRun->toPlainText().replace('\n', QStringLiteral("\r\n")));
    s.EnemysTipe = CheckBatalhas->isChecked();
    const QComboBox* combos[] = {Enemy1, Enemy2, Enemy3};
    for (int i = 0; i < 3; ++i) s.Enemy[static_cast<std::size_t>(i)] = toCp1252(combos[i]->currentText());
    return s;
}

void TFormMP::Image1Click() {
    ws_.run([this] {
        const std::optional<QString> chosen = ws_.prompts().openPicture();
        if (!chosen) return;
        picture_.LoadFromFile(*chosen);
        showPicture();
        storeBattleBackground(picture_, ws_.project.ProjectFolder, ws_.grid.CurrentMap);
    });
}

}  // namespace quillmark
