#include "ui/main/uMapa.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"
#include "model/mapedit/MapProperties.h"
#include "model/session/Workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct MapaSetup {
    explicit MapaSetup(const QString& editor = qmtest::binFolder()) {
        auto scripted = std::make_unique<qmtest::ScriptedPrompts>();
        prompts = scripted.get();
        ws = std::make_unique<Workspace>(std::move(scripted));
        ws->EditorFolder = editor;
        dialog = std::make_unique<TFormMP>(*ws);
    }
    // The project of the fixture, opened as the editor opens it, with a new
    // map of that name shown.
    void openMap(qmtest::ProjectFixture& fixture, const std::string& map) {
        if (!ws->session().projectOpen()) ws->session().openProject(fixture.projectFile());
        ASSERT_TRUE(ws->session().newMap(map.substr(0, map.size() - 4), 14));
    }
    qmtest::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TFormMP> dialog;
};

QString writePicture(const qmtest::ProjectFixture& fixture, const QString& name, QRgb colour, const char* format) {
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(colour);
    image.save(fixture.dir.file(name), format);
    return fixture.dir.file(name);
}

}  // namespace

TEST(MapPropertiesDialog, LayoutAndTheEditorFoldersPicture) {
    MapaSetup s;
    TFormMP& d = *s.dialog;
    EXPECT_EQ(d.windowTitle(), "Propriedades do Mapa");
    EXPECT_EQ(d.GroupAutoRun->title(), "Auto Run Event");
    EXPECT_EQ(d.GroupBatalhas->title(), "Batalhas");
    EXPECT_EQ(d.CheckBatalhas->text(), "Ativar Batalhas Randomicas");
    for (QWidget* w : std::initializer_list<QWidget*>{d.MemoAutoRun, d.CheckBatalhas, d.Enemy1, d.Enemy2, d.Enemy3})
        EXPECT_TRUE(w->isEnabled());
    QStringList labels;
    for (QLabel* l : d.GroupBatalhas->findChildren<QLabel*>())
        if (l != d.Image1) labels << l->text();
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"Enemy 1:", "Enemy 2:", "Enemy 3:"}));

    EXPECT_EQ(d.Image1->size(), QSize(153, 81));
    EXPECT_TRUE(d.Image1->hasScaledContents());
    EXPECT_EQ(d.Image1->toolTip(), QString::fromUtf8("Clique aqui para alterar a imagem de fundo da batalha"));
    const Picture grass = Picture::fromFile(qmtest::binFolder() + "Imagens/grass.bmp");
    EXPECT_EQ(d.picture().image().convertToFormat(QImage::Format_RGB32),
              grass.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(d.Image1->pixmap().size(), grass.size());
    EXPECT_TRUE(s.ws->session().links().mapProperties.filled());
}

TEST(MapPropertiesDialog, EditorFolderWithoutThePictureStillMakesTheDialog) {
    qmtest::TempDir empty;
    MapaSetup s(empty.path());
    EXPECT_TRUE(s.dialog->picture().isEmpty());
    EXPECT_TRUE(s.prompts->asked().empty());
}

TEST(MapPropertiesDialog, ClickWritesTheBattleBackgroundOfTheCurrentMap) {
    qmtest::ProjectFixture fixture;
    MapaSetup s;
    s.openMap(fixture, "Vila.xml");
    TFormMP& d = *s.dialog;
    d.show();
    s.prompts->answerText(writePicture(fixture, "escolha.jpg", qRgb(200, 40, 40), "JPG"));
    QTest::mouseClick(d.Image1, Qt::LeftButton);
    EXPECT_EQ(s.prompts->asked().size(), 1u);
    EXPECT_EQ(s.prompts->asked()[0].kind, "openPicture");
    ASSERT_TRUE(fixture.dir.exists("Imagens/VilaBat.bmp"));
    EXPECT_TRUE(fixture.dir.read("Imagens/VilaBat.bmp").startsWith("BM"));  // a bitmap whatever was chosen
    EXPECT_EQ(d.picture().size(), QSize(64, 32));
    EXPECT_EQ(d.Image1->pixmap().size(), QSize(64, 32));

    // The exact-case rule: ".XML" stays in the name.
    s.ws->grid.CurrentMap = "Vila.XML";
    s.prompts->answerText(writePicture(fixture, "outra.bmp", qRgb(0, 0, 255), "BMP"));
    QTest::mouseClick(d.Image1, Qt::LeftButton);
    ASSERT_TRUE(fixture.dir.exists("Imagens/Vila.XMLBat.bmp"));
    EXPECT_EQ(Picture::fromFile(fixture.dir.file("Imagens/Vila.XMLBat.bmp")).image().pixel(3, 3), qRgb(0, 0, 255));

    // The shown picture stays for the next showing and the next map.
    d.reject();
    s.ws->grid.CurrentMap = "Caverna.xml";
    d.show();
    EXPECT_EQ(d.picture().image().pixel(3, 3) & 0xFFFFFF, qRgb(0, 0, 255) & 0xFFFFFF);
    d.reject();
}

TEST(MapPropertiesDialog, NothingChosenOrABrokenPictureWritesNothing) {
    qmtest::ProjectFixture fixture;
    MapaSetup s;
    s.openMap(fixture, "Vila.xml");
    TFormMP& d = *s.dialog;
    d.show();
    const QImage before = d.picture().image();
    s.prompts->answerNothing();
    QTest::mouseClick(d.Image1, Qt::LeftButton);
    EXPECT_FALSE(fixture.dir.exists("Imagens/VilaBat.bmp"));

    fixture.dir.write("quebrada.bmp", "no picture here");
    s.prompts->answerText(fixture.dir.file("quebrada.bmp"));
    QTest::mouseClick(d.Image1, Qt::LeftButton);
    EXPECT_FALSE(fixture.dir.exists("Imagens/VilaBat.bmp"));
    ASSERT_EQ(s.prompts->messages().size(), 1);
    EXPECT_EQ(s.prompts->asked().back().title, "Quillmark");
    EXPECT_EQ(d.picture().image(), before);
    d.reject();
}

TEST(MapPropertiesDialog, CommandNeedsAProjectAndAMap) {
    qmtest::ProjectFixture fixture;
    MapaSetup s;
    int shown = 0;
    // Closes the dialog (the window's close button) whenever it shows.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (s.dialog->isVisible()) {
            ++shown;
            s.dialog->close();
        }
    });
    closer.start(10);
    s.ws->session().links().mapProperties();  // no project
    s.ws->session().openProject(fixture.projectFile());
    ASSERT_FALSE(s.ws->session().mapLoaded());
    s.ws->session().links().mapProperties();  // no map
    EXPECT_EQ(shown, 0);
    s.openMap(fixture, "Vila.xml");
    s.ws->session().links().mapProperties();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(s.dialog->isVisible());
}

namespace {

// Runs the map-properties command; while the dialog shows, `fill` sets its
// controls, then the dialog is closed by its close button.
void runDialog(MapaSetup& s, const std::function<void(TFormMP&)>& fill) {
    QTimer driver;
    bool done = false;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (!s.dialog->isVisible() || done) return;
        done = true;
        fill(*s.dialog);
        s.dialog->close();
    });
    driver.start(10);
    s.ws->session().links().mapProperties();
    ASSERT_TRUE(done);
}

QStringList entries(const QComboBox* c) {
    QStringList l;
    for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
    return l;
}

void addMonster(Workspace& ws, const char* name) {
    RecordTable& m = ws.DataModule1.cdsMonstros;
    m.insert();
    m.setString("Nome", name);
    m.post();
}

}  // namespace

TEST(MapPropertiesDialog, StoresTheFiveFieldsOfTheLoadedMapAndShowsThemAfterReopening) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Floresta.xml");
    fixture.addMap("Vila.xml");
    {
        MapaSetup s;
        s.ws->session().openProject(fixture.projectFile());
        ASSERT_TRUE(s.ws->session().openMap(fixture.folder() + "Mapas/Vila.xml", "Vila.xml"));
        addMonster(*s.ws, "Slime");
        addMonster(*s.ws, "Morcego");
        runDialog(s, [](TFormMP& d) {
            // nothing stored yet: the defaults, and the monsters' names on offer
            EXPECT_EQ(d.MemoAutoRun->toPlainText(), "");
            EXPECT_FALSE(d.CheckBatalhas->isChecked());
            EXPECT_EQ(entries(d.Enemy2).mid(1, 2), (QStringList{"Slime", "Morcego"}));
            d.MemoAutoRun->setPlainText(QString::fromUtf8("ShowMessage:Olá&\nIniciaChuva:"));
            QTest::keyClick(d.CheckBatalhas, Qt::Key_Space);
            d.Enemy1->setCurrentText("Morcego");
            d.Enemy3->setCurrentText("Slime");
        });
        // another map's record stays as it is
        storeMapSettings(fixture.folder(), "Floresta.xml", MapSettings{"", true, {"Slime", "", ""}});
        runDialog(s, [](TFormMP& d) { EXPECT_TRUE(d.CheckBatalhas->isChecked()); });
        s.ws->session().closeProject();
    }
    const MapSettings vila = readMapSettings(fixture.folder(), "Vila.xml");
    EXPECT_EQ(vila.EvetoAutoRun, "ShowMessage:Ol\xE1&\r\nIniciaChuva:");
    EXPECT_TRUE(vila.EnemysTipe);
    EXPECT_EQ(vila.Enemy, (std::array<std::string, 3>{"Morcego", "", "Slime"}));
    EXPECT_EQ(readMapSettings(fixture.folder(), "Floresta.xml").Enemy[0], "Slime");

    // a new editor on the same project shows them again
    MapaSetup again;
    again.ws->session().openProject(fixture.projectFile());
    ASSERT_TRUE(again.ws->session().openMap(fixture.folder() + "Mapas/Vila.xml", "Vila.xml"));
    runDialog(again, [](TFormMP& d) {
        EXPECT_EQ(d.MemoAutoRun->toPlainText(), QString::fromUtf8("ShowMessage:Olá&\nIniciaChuva:"));
        EXPECT_TRUE(d.CheckBatalhas->isChecked());
        EXPECT_EQ(d.Enemy1->currentText(), "Morcego");
        EXPECT_EQ(d.Enemy2->currentText(), "");
        EXPECT_EQ(d.Enemy3->currentText(), "Slime");
        d.CheckBatalhas->setChecked(false);
    });
    EXPECT_FALSE(readMapSettings(fixture.folder(), "Vila.xml").EnemysTipe);
    EXPECT_TRUE(readMapSettings(fixture.folder(), "Floresta.xml").EnemysTipe);
}

TEST(MapPropertiesDialog, AnEnemyNoMonsterHasIsShownAndKept) {
    qmtest::ProjectFixture fixture;
    storeMapSettings(fixture.folder(), "Vila.xml", MapSettings{"", true, {"", "Fantasma", ""}});
    fixture.addMap("Vila.xml");
    MapaSetup s;
    s.ws->session().openProject(fixture.projectFile());
    ASSERT_TRUE(s.ws->session().openMap(fixture.folder() + "Mapas/Vila.xml", "Vila.xml"));
    runDialog(s, [](TFormMP& d) { EXPECT_EQ(d.Enemy2->currentText(), "Fantasma"); });
    EXPECT_EQ(readMapSettings(fixture.folder(), "Vila.xml").Enemy[1], "Fantasma");
}

TEST(MapPropertiesDialog, ABrokenTableIsReportedAndTheDialogStaysClosed) {
    qmtest::ProjectFixture fixture;
    MapaSetup s;
    s.openMap(fixture, "Vila.xml");
    fixture.dir.write("Data/PropMapas.xml", "<DATAPACKET>");
    bool shown = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (s.dialog->isVisible()) shown = true, s.dialog->close();
    });
    watcher.start(10);
    s.ws->session().links().mapProperties();
    EXPECT_FALSE(shown);
    ASSERT_EQ(s.prompts->messages().size(), 1);
    EXPECT_EQ(fixture.dir.read("Data/PropMapas.xml"), "<DATAPACKET>");
}

TEST(MapPropertiesDialog, ShowsTheLoadedMapsOwnBattleBackground) {
    qmtest::ProjectFixture fixture;
    fixture.addMap("Floresta.xml");
    fixture.addMap("Vila.xml");
    QImage forest(64, 32, QImage::Format_RGB32);
    forest.fill(qRgb(20, 120, 30));
    ASSERT_TRUE(forest.save(fixture.dir.file("Imagens/FlorestaBat.bmp"), "BMP"));
    const QImage grass = Picture::fromFile(qmtest::binFolder() + "Imagens/grass.bmp").image();
    auto shown = [](TFormMP& d) { return d.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32); };

    MapaSetup s;
    s.ws->session().openProject(fixture.projectFile());
    ASSERT_TRUE(s.ws->session().openMap(fixture.folder() + "Mapas/Floresta.xml", "Floresta.xml"));
    runDialog(s, [&](TFormMP& d) {
        EXPECT_EQ(d.picture().size(), QSize(64, 32));
        EXPECT_EQ(shown(d).pixel(5, 5), qRgb(20, 120, 30));
    });
    // a map without a background of its own shows the editor folder's picture, not the last map's
    ASSERT_TRUE(s.ws->session().openMap(fixture.folder() + "Mapas/Vila.xml", "Vila.xml"));
    runDialog(s, [&](TFormMP& d) {
        EXPECT_EQ(d.picture().image().convertToFormat(QImage::Format_RGB32),
                  grass.convertToFormat(QImage::Format_RGB32));
    });
    // one chosen for it is shown the next time, and the forest keeps its own
    QImage village(30, 20, QImage::Format_RGB32);
    village.fill(qRgb(200, 180, 90));
    ASSERT_TRUE(village.save(fixture.dir.file("aldeia.png")));
    s.prompts->answerText(fixture.dir.file("aldeia.png"));
    runDialog(s, [&](TFormMP& d) { QTest::mouseClick(d.Image1, Qt::LeftButton); });
    ASSERT_TRUE(fixture.dir.exists("Imagens/VilaBat.bmp"));
    runDialog(s, [&](TFormMP& d) { EXPECT_EQ(shown(d).pixel(5, 5), qRgb(200, 180, 90)); });
    ASSERT_TRUE(s.ws->session().openMap(fixture.folder() + "Mapas/Floresta.xml", "Floresta.xml"));
    runDialog(s, [&](TFormMP& d) { EXPECT_EQ(shown(d).pixel(5, 5), qRgb(20, 120, 30)); });
    // a background that cannot be read: the dialog opens all the same, with no picture
    fixture.dir.write("Imagens/FlorestaBat.bmp", "not a bitmap");
    runDialog(s, [&](TFormMP& d) { EXPECT_TRUE(d.picture().isEmpty()); });
}
