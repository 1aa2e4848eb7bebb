// The main window: the enabling rules in their three states, opening, closing,
// saving and Play with the save question answered every way, the settings
// kept between runs, the menus and the about box.
#include "PaintedMap.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "SessionSetUp.h"
#include "apps/editor/uWindows.h"
#include "model/core/MapFile.h"
#include "model/session/Settings.h"
#include "model/session/Workspace.h"
#include "ui/common/uBands.h"
#include "ui/main/uAbout.h"
#include "ui/main/uFrameProject.h"
#include "ui/main/uFrameTiles.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uTerreno.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::ProjectFixture;
using qmtest::ScriptedPrompts;

namespace {

const QStringList kAllHints = {"Novo Projeto",
                               "Abrir Projeto",
                               "Novo Mapa",
                               "Salvar",
                               "Modo Mapa - Camada Inferior",
                               "Modo Mapa - Camada Superior",
                               "Modo Mapa - Camada de Eventos",
                               "Propriedades do Mapa",
                               "Zoom",
                               "Bando de Dados",
                               "Play"};

const QStringList kRuledEntries = {"Salvar",       "Novo Mapa",     "Importar Mapa", "Exportar Mapa", "Close All",
                                   "Copiar",       "Copiar Evento", "Copiar Imagem", "Colar",         "Colar Evento",
                                   "Colar Imagem", "Zoom +/-",      "Modo Inferior", "Modo Superior", "Modo Eventos",
                                   "Propriedades", "Banco de Dados"};

// Commands whose windows do not exist yet: always disabled.
const QStringList kUnbuiltEntries = {};

const QString kQuestion = QStringLiteral("Desejá Salvar as Alterações?");

// A project with one painted 14 x 14 map "Vila.xml".
std::unique_ptr<ProjectFixture> projectWithMap(const std::string& name = "Aventura") {
    auto p = std::make_unique<ProjectFixture>(name, QString::fromStdString(name) + ".qmk");
    p->addMap("Vila.xml", qmtest::paintedGrid(14));
    return p;
}

unsigned char tipoInFile(const ProjectFixture& p, const char* map, int row, int column) {
    MapGrid g;
    Abrir(g, p.folder() + "Mapas/" + map);
    return g.tipo(row, column);
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        makeWorkspace();
        form = makeForm();
    }
    void TearDown() override {
        form.reset();
        ws.reset();
    }

    void makeWorkspace() {
        prompts = new ScriptedPrompts;
        ws = std::make_unique<Workspace>(std::unique_ptr<Prompts>(prompts));
        ws->session().setEditorFolder(qmtest::binFolder());
    }

    std::unique_ptr<TForm1> makeForm() {
        // The other windows stand by: their commands are linked.
        WindowLinks& links = ws->session().links();
        links.newMapDialog.fill([] {});
        links.newProjectWizard.fill([] {});
        links.mapProperties.fill([] {});
        links.database.fill([] {});
        TForm1::Options o;
        o.iniPath = settings.file("config/quillmark.INI");
        o.recentPath = settings.file("editor/Data/conf.ini");
        o.registerAssociation = [] {};
        o.startProgram = [this](const QString& program, QString*) {
            started << program;
            return true;
        };
        return std::make_unique<TForm1>(*ws, o);
    }

    void open(const ProjectFixture& p) {
        ASSERT_TRUE(ws->run([&] { form->abrirProjeto(p.projectFile()); }));
        ASSERT_TRUE(ws->session().projectOpen());
    }

    // Paints cell (1, 1) as the canvas would, without saving.
    void paintFirstCell(unsigned char code) { ws->session().mapEditing().paint(EditLayer::Tipo, 1, 1, code); }

    QAction* entry(const QString& caption) {
        QAction* a = form->menuAction(caption);
        EXPECT_NE(a, nullptr) << caption.toStdString();
        return a;
    }

    void expectGreyed(const QStringList& hints, bool greyed) {
        for (const QString& h : hints) {
            TToolButton* b = form->toolButton(h);
            ASSERT_NE(b, nullptr) << h.toStdString();
            EXPECT_EQ(b->greyed(), greyed) << h.toStdString();
            EXPECT_TRUE(b->isEnabled()) << h.toStdString();  // buttons are never disabled
        }
    }

    void expectEnabled(const QStringList& captions, bool enabled) {
        for (const QString& c : captions)
            EXPECT_EQ(entry(c)->isEnabled(), enabled && !kUnbuiltEntries.contains(c)) << c.toStdString();
    }

    qmtest::TempDir settings;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<TForm1> form;
    QStringList started;
};

}  // namespace

// --- enabling rules ---------------------------------------------------------------------

TEST_F(Form1Test, StartsWithoutAProject) {
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0");
    EXPECT_EQ(ws->session().brushCode(), 'G');
    EXPECT_EQ(ws->session().cellSize(), 40);
    EXPECT_FALSE(ws->session().brushImage().isEmpty());  // "Imagens\Image0.bmp" of the editor folder
    expectGreyed({"Novo Mapa", "Modo Mapa - Camada Inferior", "Zoom", "Salvar", "Modo Mapa - Camada Superior",
                  "Modo Mapa - Camada de Eventos", "Bando de Dados", "Propriedades do Mapa", "Play"},
                 true);
    expectGreyed({"Novo Projeto", "Abrir Projeto"}, false);
    expectEnabled(kRuledEntries, false);
    expectEnabled({"Novo Projeto", "Abrir Projeto", "Sair", "Executar", "Eventos", "Objetos", "Cordenadas"}, true);
    expectEnabled({"Desfazer"}, false);
}

TEST_F(Form1Test, ProjectWithAMapEnablesEverything) {
    auto p = projectWithMap();
    open(*p);
    EXPECT_TRUE(ws->session().mapLoaded());
    expectGreyed(kAllHints, false);
    QStringList pastes = {"Colar", "Colar Evento", "Colar Imagem"};
    QStringList others = kRuledEntries;
    for (const QString& e : pastes) others.removeAll(e);
    expectEnabled(others, true);
    expectEnabled(pastes, false);  // nothing copied yet

    ws->session().copyCell(1, 1);
    form->verificaStatus();
    EXPECT_TRUE(entry("Colar")->isEnabled());
    EXPECT_TRUE(ws->session().copiedEvent().empty());
    EXPECT_FALSE(entry("Colar Evento")->isEnabled());  // an empty copied event does not count
    EXPECT_FALSE(entry("Colar Imagem")->isEnabled());
    ws->session().copyEvent(1, 1);  // the file's "NULL"
    ws->session().copyImage(1, 1);
    EXPECT_EQ(ws->session().copiedEvent(), "NULL");
    form->verificaStatus();
    EXPECT_TRUE(entry("Colar Evento")->isEnabled());
    EXPECT_TRUE(entry("Colar Imagem")->isEnabled());
}

TEST_F(Form1Test, ProjectWithoutMaps) {
    ProjectFixture p;
    open(p);
    EXPECT_FALSE(ws->session().mapLoaded());
    EXPECT_EQ(ws->session().grid().CurrentMap, "");
    expectGreyed({"Propriedades do Mapa", "Zoom", "Salvar", "Modo Mapa - Camada Superior",
                  "Modo Mapa - Camada Inferior", "Modo Mapa - Camada de Eventos", "Play"},
                 true);
    expectGreyed({"Novo Mapa", "Bando de Dados", "Novo Projeto", "Abrir Projeto"}, false);
    expectEnabled({"Novo Mapa", "Close All"}, true);
    expectEnabled({"Importar Mapa"}, true);
    QStringList others = kRuledEntries;
    for (const char* e : {"Novo Mapa", "Importar Mapa", "Close All"}) others.removeAll(e);
    EXPECT_EQ(others.size(), 14);
    expectEnabled(others, false);
}

TEST_F(Form1Test, PasteEntriesFollowTheBuffersEvenWithoutAProject) {
    // The copy buffers outlive the project they were filled from.
    auto p = projectWithMap();
    open(*p);
    ws->session().copyImage(1, 1);
    ASSERT_TRUE(ws->run([&] { ws->session().closeProject(); }));
    form->verificaStatus();
    EXPECT_TRUE(entry("Colar Imagem")->isEnabled());
    EXPECT_FALSE(entry("Colar")->isEnabled());
    EXPECT_FALSE(entry("Colar Evento")->isEnabled());
    EXPECT_FALSE(entry("Copiar Imagem")->isEnabled());
}

TEST_F(Form1Test, AGreyedButtonShowsItsColoursUnderTheMouse) {
    TToolButton* salvar = form->toolButton("Salvar");
    EXPECT_TRUE(salvar->showsGreyPicture());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(salvar, &enter);
    EXPECT_FALSE(salvar->showsGreyPicture());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(salvar, &leave);
    EXPECT_TRUE(salvar->showsGreyPicture());
    // A greyed button still runs its command, which checks its own precondition.
    QTest::mouseClick(salvar, Qt::LeftButton);
    EXPECT_TRUE(prompts->asked().empty());
}

TEST_F(Form1Test, MenusCarryTheirShortcuts) {
    const std::pair<const char*, const char*> table[] = {{"Novo Projeto", "Ctrl+Alt+N"},
                                                         {"Abrir Projeto", "Ctrl+Alt+O"},
                                                         {"Salvar", "Ctrl+S"},
                                                         {"Close All", "Ctrl+Alt+C"},
                                                         {"Novo Mapa", "Ctrl+N"},
                                                         {"Importar Mapa", "Ctrl+I"},
                                                         {"Exportar Mapa", "Ctrl+E"},
                                                         {"Sair", "Ctrl+Q"},
                                                         {"Desfazer", "Ctrl+Z"},
                                                         {"Copiar", "Ctrl+C"},
                                                         {"Colar", "Ctrl+V"},
                                                         {"Copiar Evento", "Shift+C"},
                                                         {"Colar Evento", "Shift+V"},
                                                         {"Copiar Imagem", "Ctrl+Shift+C"},
                                                         {"Colar Imagem", "Ctrl+Shift+V"},
                                                         {"Zoom +/-", ""},
                                                         {"Modo Inferior", "F10"},
                                                         {"Modo Superior", "F11"},
                                                         {"Modo Eventos", "F12"},
                                                         {"Propriedades", "F6"},
                                                         {"Executar", "F9"},
                                                         {"Banco de Dados", "F7"},
                                                         {"Eventos", ""},
                                                         {"Objetos", ""},
                                                         {"Cordenadas", ""},
                                                         {"Sobre", ""}};
    for (const auto& [caption, keys] : table)
        EXPECT_EQ(entry(caption)->shortcut().toString(QKeySequence::PortableText), QString(keys)) << caption;
    EXPECT_TRUE(entry("Eventos")->isChecked());
    EXPECT_TRUE(entry("Objetos")->isChecked());
    EXPECT_FALSE(entry("Cordenadas")->isChecked());
    for (const QString& hint : kAllHints) EXPECT_EQ(form->toolButton(hint)->toolTip(), hint);
}

// --- opening ---------------------------------------------------------------------------------

TEST_F(Form1Test, OpeningAProjectRunsEveryStep) {
    auto p = projectWithMap();
    prompts->answerText(p->projectFile());
    entry("Abrir Projeto")->trigger();
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].kind, "openFile");
    EXPECT_EQ(prompts->asked()[0].text, "Quillmark Project|*.qmk");

    EXPECT_TRUE(ws->session().projectOpen());
    EXPECT_TRUE(ws->session().mapLoaded());
    EXPECT_FALSE(ws->session().modified());
    EXPECT_EQ(ws->session().grid().CurrentMap, "Vila.xml");
    EXPECT_EQ(ws->session().grid().N, 14);
    EXPECT_EQ(ws->session().project().ProjectName, "Aventura");
    EXPECT_EQ(ws->session().project().RuntimePath, p->folder() + "Aventura.exe");
    ASSERT_NE(ws->session().tree().root(), nullptr);
    EXPECT_EQ(ws->session().tree().root()->text(), "Aventura");
    EXPECT_EQ(ws->session().brushCode(), '0');  // the first palette button
    ASSERT_NE(form->palette()->button(0), nullptr);
    EXPECT_TRUE(form->palette()->button(0)->selected());
    for (RecordTable* t :
         {&ws->session().tables().cdsTiles, &ws->session().tables().cdsMonstros, &ws->session().tables().cdsItens,
          &ws->session().tables().cdsMagias, &ws->session().tables().cdsPersonagem}) {
        EXPECT_TRUE(t->active());
        EXPECT_TRUE(t->fileName().startsWith(p->folder())) << t->fileName().toStdString();
    }
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0 - Camada Superior");
    EXPECT_EQ(readRecent(form->recentPath()), p->projectFile());
}

TEST_F(Form1Test, RecentIsListedOnlyAfterARestart) {
    auto p = projectWithMap();
    prompts->answerText(p->projectFile());
    entry("Abrir Projeto")->trigger();
    EXPECT_TRUE(form->reopenMenu()->actions().isEmpty());

    form.reset();
    makeWorkspace();
    form = makeForm();
    ASSERT_EQ(form->reopenMenu()->actions().size(), 1);
    QAction* recent = form->reopenMenu()->actions().first();
    EXPECT_EQ(recent->text(), p->projectFile());
    recent->trigger();
    EXPECT_TRUE(ws->session().projectOpen());
    EXPECT_EQ(ws->session().project().ProjectFile, p->projectFile());
}

TEST_F(Form1Test, AChosenFileDialogCancelledChangesNothing) {
    auto p = projectWithMap();
    open(*p);
    prompts->answerNothing();
    entry("Abrir Projeto")->trigger();
    EXPECT_TRUE(ws->session().projectOpen());
    EXPECT_EQ(ws->session().project().ProjectFile, p->projectFile());
}

TEST_F(Form1Test, OpeningAnotherProjectAsksAboutUnsavedChanges) {
    auto first = projectWithMap("Aventura");
    auto second = projectWithMap("Outra");
    open(*first);
    paintFirstCell('H');
    const unsigned char before = tipoInFile(*first, "Vila.xml", 1, 1);
    ASSERT_NE(before, 'H');

    // Cancel: the first project stays, with its changes.
    prompts->answerText(second->projectFile()).answer(Answer::Cancel);
    entry("Abrir Projeto")->trigger();
    EXPECT_EQ(prompts->messages(), QStringList{kQuestion});
    EXPECT_EQ(ws->session().project().ProjectFile, first->projectFile());
    EXPECT_TRUE(ws->session().modified());
    EXPECT_EQ(ws->session().grid().tipo(1, 1), 'H');

    // No: the changes are dropped and the second project opens.
    prompts->answerText(second->projectFile()).answer(Answer::No);
    entry("Abrir Projeto")->trigger();
    EXPECT_EQ(ws->session().project().ProjectFile, second->projectFile());
    EXPECT_EQ(tipoInFile(*first, "Vila.xml", 1, 1), before);
    EXPECT_FALSE(ws->session().modified());

    // Yes: the map is saved first.
    paintFirstCell('I');
    prompts->answerText(first->projectFile()).answer(Answer::Yes);
    entry("Abrir Projeto")->trigger();
    EXPECT_EQ(ws->session().project().ProjectFile, first->projectFile());
    EXPECT_EQ(tipoInFile(*second, "Vila.xml", 1, 1), 'I');
    EXPECT_TRUE(prompts->allAnswersUsed());
}

TEST_F(Form1Test, ReopenAsksTooAndCancelKeepsTheProject) {
    auto p = projectWithMap();
    open(*p);
    paintFirstCell('H');
    prompts->answer(Answer::Cancel);
    form->Reopen(p->projectFile());
    EXPECT_TRUE(ws->session().modified());
    EXPECT_EQ(ws->session().grid().tipo(1, 1), 'H');
    prompts->answer(Answer::No);
    form->Reopen(p->projectFile());
    EXPECT_FALSE(ws->session().modified());
    EXPECT_NE(ws->session().grid().tipo(1, 1), 'H');  // reloaded from the file
}

TEST_F(Form1Test, AProjectThatFailsHalfWayIsNotLeftHalfOpen) {
    auto good = projectWithMap();
    open(*good);
    ProjectFixture broken("Quebrado", "Quebrado.qmk");
    broken.addMap("Vila.xml");
    QFile::remove(broken.folder() + "Mapas/Vila.xml");  // the first map file is missing

    form->Reopen(broken.projectFile());
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(prompts->asked().back().title, "Quillmark");  // the error box
    EXPECT_FALSE(ws->session().projectOpen());
    EXPECT_FALSE(ws->session().mapLoaded());
    EXPECT_TRUE(ws->session().tree().isEmpty());
    EXPECT_EQ(ws->session().project().ProjectName, "");
    EXPECT_EQ(ws->session().project().ProjectFolder, "");
    EXPECT_EQ(ws->session().grid().CurrentMap, "");
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0");
    expectEnabled(kRuledEntries.mid(0, 8), false);
    EXPECT_TRUE(form->toolButton("Salvar")->greyed());
    // Commands that need a project do nothing now.
    form->PlayClick();
    form->SalvarClick();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(prompts->messages().size(), 1);
}

TEST_F(Form1Test, ABadCharLineStopsTheOpening) {
    ProjectFixture p;
    p.dir.write("Aventura.qmk", "Project Name:Aventura\r\nProject Autor:Eu\r\nMapas:\r\nMapa Inicial:\r\nChar X:abc\r\n"
                                "Char Y:190\r\n");
    prompts->answerText(p.projectFile());
    entry("Abrir Projeto")->trigger();
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(prompts->messages()[0], "Aventura.qmk, line 5: 'abc' is not a valid integer value.");
    EXPECT_FALSE(ws->session().projectOpen());
    EXPECT_TRUE(ws->session().tree().isEmpty());
    EXPECT_EQ(readRecent(form->recentPath()), "");  // only a project that opened is remembered
}

// --- saving and closing ---------------------------------------------------------------------

TEST_F(Form1Test, SaveFromTheMenuAndTheButton) {
    auto p = projectWithMap();
    open(*p);
    paintFirstCell('H');
    entry("Salvar")->trigger();
    EXPECT_FALSE(ws->session().modified());
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), 'H');
    EXPECT_TRUE(p->dir.exists("Data/Project.dat"));

    paintFirstCell('I');
    QTest::mouseClick(form->toolButton("Salvar"), Qt::LeftButton);
    EXPECT_FALSE(ws->session().modified());
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), 'I');
    // Nothing left to ask when closing.
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(prompts->asked().empty());
}

TEST_F(Form1Test, CloseAllAsksThenClosesEverything) {
    auto p = projectWithMap();
    open(*p);
    paintFirstCell('H');

    prompts->answer(Answer::Cancel);
    entry("Close All")->trigger();
    EXPECT_TRUE(ws->session().projectOpen());
    EXPECT_TRUE(ws->session().modified());

    prompts->answer(Answer::Yes);
    entry("Close All")->trigger();
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), 'H');
    EXPECT_FALSE(ws->session().projectOpen());
    EXPECT_FALSE(ws->session().mapLoaded());
    EXPECT_FALSE(ws->session().modified());
    EXPECT_EQ(ws->session().grid().CurrentMap, "");
    EXPECT_EQ(ws->session().project().ProjectFile, "");
    EXPECT_EQ(ws->session().project().RuntimePath, "");
    EXPECT_EQ(ws->session().project().MapsLine, "");
    EXPECT_TRUE(ws->session().tree().isEmpty());
    EXPECT_EQ(form->projectTree()->topLevelItemCount(), 0);
    ASSERT_EQ(form->palette()->buttonCount(), 144);
    for (int i = 0; i < 144; ++i) EXPECT_TRUE(form->palette()->button(i)->picture().isEmpty());
    EXPECT_TRUE(form->toolButton("Novo Mapa")->greyed());
    EXPECT_FALSE(entry("Close All")->isEnabled());

    // Without changes nothing is asked.
    open(*p);
    prompts->clear();
    entry("Close All")->trigger();
    EXPECT_TRUE(prompts->asked().empty());
    EXPECT_FALSE(ws->session().projectOpen());
}

TEST_F(Form1Test, CloseAllAnsweredNoDropsTheChanges) {
    auto p = projectWithMap();
    open(*p);
    const unsigned char before = tipoInFile(*p, "Vila.xml", 1, 1);
    paintFirstCell('H');
    prompts->answer(Answer::No);
    entry("Close All")->trigger();
    EXPECT_FALSE(ws->session().projectOpen());
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), before);
}

TEST_F(Form1Test, ClosingTheWindowAsksAndWritesThePlacement) {
    auto p = projectWithMap();
    form->FormShow({p->projectFile()});
    ASSERT_TRUE(ws->session().projectOpen());  // the first argument
    EXPECT_TRUE(form->isMaximized());          // no settings yet: the window opens maximised
    paintFirstCell('H');

    prompts->answer(Answer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(form->iniPath()));

    prompts->answer(Answer::No);
    EXPECT_TRUE(form->close());
    IniFile ini(form->iniPath());
    EXPECT_TRUE(ini.readBool("Form1", "Maximized", false));
    EXPECT_FALSE(ini.hasKey("Form1", "Width"));  // bounds are not written while maximised
    for (int i = 1; i <= 4; ++i) EXPECT_TRUE(ini.hasKey("Bar", QString("Bar%1Left").arg(i)));
    EXPECT_NE(tipoInFile(*p, "Vila.xml", 1, 1), 'H');
}

TEST_F(Form1Test, ClosingAnsweredYesSavesFirst) {
    auto p = projectWithMap();
    open(*p);
    paintFirstCell('H');
    prompts->answer(Answer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), 'H');
}

TEST_F(Form1Test, AMaximisedExitKeepsTheEarlierRestoredBounds) {
    {
        IniFile ini(form->iniPath());
        SaveFormPlacement(ini, false, 40, 30, 700, 500);
        ini.save();
    }
    form->FormShow({});
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->size(), QSize(700, 500));
    form->showMaximized();
    EXPECT_TRUE(form->close());

    IniFile ini(form->iniPath());
    EXPECT_TRUE(ini.readBool("Form1", "Maximized", false));
    EXPECT_EQ(ini.readInteger("Form1", "Width", 0), 700);
    EXPECT_EQ(ini.readInteger("Form1", "Height", 0), 500);

    form = makeForm();
    form->FormShow({});
    EXPECT_TRUE(form->isMaximized());
    form->showNormal();
    EXPECT_EQ(form->size(), QSize(700, 500));  // the restored size is the earlier one
}

TEST_F(Form1Test, BandsComeBackWhereTheyWereLeft) {
    {
        IniFile ini(form->iniPath());
        SaveFormPlacement(ini, false, 0, 0, 900, 600);
        saveBandLefts(ini, {0, 200, 420, 500});
        ini.save();
    }
    form->FormShow({});
    TBandBar* bar = form->bandBar();
    const auto lefts = bar->lefts();
    EXPECT_EQ(lefts[0], 0);
    EXPECT_EQ(lefts[1], 200);
    EXPECT_EQ(lefts[2], 420);
    EXPECT_EQ(lefts[3], 500);
    // A band dragged onto its neighbour stops at it.
    bar->moveBand(1, 0);
    EXPECT_EQ(bar->lefts()[1], bar->band(0)->geometry().right() + 1);
    ASSERT_TRUE(form->close());
    EXPECT_EQ(IniFile(form->iniPath()).readInteger("Bar", "Bar2Left", -1), bar->band(0)->geometry().right() + 1);
}

// --- Play ---------------------------------------------------------------------------------------

TEST_F(Form1Test, PlayNeedsAProjectAndAMap) {
    QTest::mouseClick(form->toolButton("Play"), Qt::LeftButton);
    entry("Executar")->trigger();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_TRUE(prompts->asked().empty());

    ProjectFixture p;
    open(p);
    QTest::mouseClick(form->toolButton("Play"), Qt::LeftButton);
    EXPECT_EQ(prompts->messages(), QStringList{"Você deve criar pelo menos um mapa antes de executar o jogo!"});
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(Form1Test, PlayWithUnsavedChanges) {
    auto p = projectWithMap();
    open(*p);
    const unsigned char before = tipoInFile(*p, "Vila.xml", 1, 1);
    paintFirstCell('H');

    prompts->answer(Answer::Cancel);
    QTest::mouseClick(form->toolButton("Play"), Qt::LeftButton);
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), before);

    prompts->answer(Answer::No);
    entry("Executar")->trigger();
    EXPECT_EQ(started, QStringList{p->folder() + "Aventura.exe"});
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), before);
    EXPECT_TRUE(ws->session().modified());

    prompts->answer(Answer::Yes);
    QTest::mouseClick(form->toolButton("Play"), Qt::LeftButton);
    EXPECT_EQ(started.size(), 2);
    EXPECT_EQ(tipoInFile(*p, "Vila.xml", 1, 1), 'H');
    EXPECT_FALSE(ws->session().modified());

    // Saved: nothing asked any more.
    prompts->clear();
    QTest::mouseClick(form->toolButton("Play"), Qt::LeftButton);
    EXPECT_EQ(started.size(), 3);
    EXPECT_TRUE(prompts->asked().empty());
    for (const QString& s : started) EXPECT_EQ(s, p->folder() + "Aventura.exe");
}

// --- map commands ------------------------------------------------------------------------------

TEST_F(Form1Test, ModeButtonsSetTheCaptionAndEveryCellsMode) {
    form->ModoEventosClick();  // no project: nothing
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0");
    auto p = projectWithMap();
    open(*p);
    TMapCanvas* canvas = form->mapArea()->canvas();
    QTest::mouseClick(form->toolButton("Modo Mapa - Camada Inferior"), Qt::LeftButton);
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0 - Camada Inferior");
    EXPECT_EQ(canvas->currentMode(), CellMode::Lower);
    EXPECT_TRUE(canvas->cell(14, 14)->lowerMode);
    entry("Modo Eventos")->trigger();
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0 - Camada de Eventos");
    EXPECT_TRUE(canvas->cell(1, 1)->eventMode);
    EXPECT_FALSE(canvas->cell(1, 1)->lowerMode);
    QTest::mouseClick(form->toolButton("Modo Mapa - Camada Superior"), Qt::LeftButton);
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0 - Camada Superior");
    EXPECT_EQ(canvas->currentMode(), CellMode::Upper);
}

TEST_F(Form1Test, ZoomAndViewOptions) {
    auto p = projectWithMap();
    open(*p);
    entry("Zoom +/-")->trigger();
    EXPECT_EQ(ws->session().cellSize(), 20);
    QTest::mouseClick(form->toolButton("Zoom"), Qt::LeftButton);
    EXPECT_EQ(ws->session().cellSize(), 40);

    entry("Cordenadas")->trigger();
    EXPECT_TRUE(entry("Cordenadas")->isChecked());
    EXPECT_TRUE(ws->session().showCordenadas());
    entry("Eventos")->trigger();
    EXPECT_FALSE(ws->session().showEventos());
    entry("Objetos")->trigger();
    EXPECT_FALSE(ws->session().showObjetos());
    entry("Objetos")->trigger();
    EXPECT_TRUE(ws->session().showObjetos());
}

TEST_F(Form1Test, LinksReachTheOtherWindows) {
    QStringList calls;
    WindowLinks& links = ws->session().links();
    links.newMapDialog.fill([&] { calls << "newMap"; });
    links.newProjectWizard.fill([&] { calls << "wizard"; });
    links.mapProperties.fill([&] { calls << "properties"; });
    links.database.fill([&] { calls << "database"; });
    // Without a project only the wizard runs.
    for (const char* hint : {"Novo Projeto", "Novo Mapa", "Propriedades do Mapa", "Bando de Dados"})
        QTest::mouseClick(form->toolButton(hint), Qt::LeftButton);
    EXPECT_EQ(calls, QStringList{"wizard"});

    ProjectFixture empty;
    open(empty);
    calls.clear();
    for (const char* hint : {"Novo Mapa", "Propriedades do Mapa", "Bando de Dados"})
        QTest::mouseClick(form->toolButton(hint), Qt::LeftButton);
    EXPECT_EQ(calls, QStringList({"newMap", "database"}));

    auto p = projectWithMap();
    prompts->clear();
    form->Reopen(p->projectFile());
    calls.clear();
    entry("Propriedades")->trigger();
    entry("Banco de Dados")->trigger();
    entry("Novo Mapa")->trigger();
    entry("Novo Projeto")->trigger();
    EXPECT_EQ(calls, QStringList({"properties", "database", "newMap", "wizard"}));
    // The window follows the session's close.
    ws->session().closeProject();
    EXPECT_FALSE(ws->session().projectOpen());
    EXPECT_EQ(form->windowTitle(), "Quillmark 1.0");
    EXPECT_FALSE(entry("Salvar")->isEnabled());

    // A window that does not exist leaves its command visibly disabled, and
    // reaching it anyway is an error the user sees, never a silent no-op.
    links.database.clear();
    open(empty);
    EXPECT_FALSE(entry("Banco de Dados")->isEnabled());
    EXPECT_FALSE(form->toolButton("Bando de Dados")->isEnabled());
    prompts->clear();
    form->BancoDadosClick();
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_TRUE(prompts->messages()[0].contains("Banco de Dados"));
    links.database.fill([&] { calls << "database"; });
    form->verificaStatus();
    EXPECT_TRUE(form->toolButton("Bando de Dados")->isEnabled());
}

TEST_F(Form1Test, ThePaletteListChoosesThePanel) {
    QComboBox* list = form->paletteList();
    ASSERT_EQ(list->count(), 12);
    EXPECT_EQ(list->itemText(0), "Lista 1");
    EXPECT_EQ(list->itemText(10), "Lista 11");
    EXPECT_EQ(list->itemText(11), "Animações");
    EXPECT_EQ(list->currentText(), "Lista 1");
    auto p = projectWithMap();
    open(*p);
    list->setCurrentIndex(4);
    TFrame1* palette = form->palette();
    for (int k = 0; k < 12; ++k) EXPECT_EQ(!palette->panel(k)->isHidden(), k == 4) << k;
    std::vector<int> codes;
    for (TTile* t : palette->panel(4)->findChildren<TTile*>()) codes.push_back(t->code());
    std::sort(codes.begin(), codes.end());
    ASSERT_EQ(codes.size(), 12u);
    EXPECT_EQ(codes.front(), 96);
    EXPECT_EQ(codes.back(), 107);
    // The panel shown is kept when the project closes and another opens.
    form->closeProject();
    open(*p);
    EXPECT_EQ(palette->currentPanel(), 4);
}

TEST_F(Form1Test, TheLeftColumnAndTheSplitter) {
    form->resize(808, 615);
    form->show();
    QApplication::processEvents();
    const QList<int> sizes = form->splitter()->sizes();
    // wide enough for a 20-character map name inside a folder, not cut short
    EXPECT_GT(sizes[0], TForm1::kLeftColumnWidth);
    QTreeWidget* tree = form->findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    const int nameWidth = tree->fontMetrics().horizontalAdvance("Masmorra do Norte 01.xml");
    EXPECT_GE(tree->viewport()->width(), nameWidth + 2 * tree->indentation() + tree->iconSize().width());
    EXPECT_EQ(form->palette()->height(), TFrame1::kHeight);
    EXPECT_EQ(form->bandBar()->height(), TBandBar::kHeight);
    // Widening the left column keeps the list as wide as the palette and the panels centred.
    form->splitter()->setSizes({219, 589});
    emit form->splitter()->splitterMoved(219, 1);
    QApplication::processEvents();
    EXPECT_EQ(form->paletteList()->width(), form->palette()->width());
    const int expected = static_cast<int>(std::lround(form->palette()->width() / 2.0 - 56.5));
    for (int k = 0; k < 12; ++k) EXPECT_EQ(form->palette()->panel(k)->x(), expected);
}

// --- the about box -------------------------------------------------------------------------------

TEST(AboutBox, FixedSizeNoTitleButtonsAndItsTexts) {
    TFormAbout about;
    EXPECT_EQ(about.windowTitle(), "Quillmark 1.0 - Sobre");
    EXPECT_EQ(about.size(), QSize(561, 373));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowSystemMenuHint);
    for (QLabel* image : {about.image1(), about.image2(), about.image3()}) EXPECT_FALSE(image->pixmap().isNull());
    QStringList texts;
    for (QLabel* l : about.findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains("Desenvolvido por:"));
    EXPECT_TRUE(texts.contains("Contato:"));
    EXPECT_EQ(about.closeButton()->text(), "Close");
    QTimer::singleShot(0, &about, [&] { QTest::mouseClick(about.closeButton(), Qt::LeftButton); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

// --- every window, once ------------------------------------------------------------------------------

TEST(ApplicationWindows, CreatesEveryWindowAndLinksThem) {
    qmtest::TempDir settings;
    Workspace ws(std::make_unique<ScriptedPrompts>());
    ws.session().setEditorFolder(qmtest::binFolder());
    TForm1::Options o;
    o.iniPath = settings.file("quillmark.INI");
    o.recentPath = settings.file("conf.ini");
    int associations = 0;
    o.registerAssociation = [&] { ++associations; };
    {
        TApplicationWindows windows(ws, o);
        EXPECT_EQ(associations, 1);
        // The template tables are open from the start.
        EXPECT_TRUE(ws.session().tables().cdsTiles.active());
        EXPECT_TRUE(ws.session().tables().cdsPersonagem.active());
        // Every window has filled its links.
        EXPECT_TRUE(ws.session().links().unfilled().empty());
        EXPECT_EQ(windows.FormAbout().parentWidget(), &windows.Form1());
        // "Sobre" shows the about box.
        QTimer::singleShot(0, &windows.FormAbout(), [&] { windows.FormAbout().closeButton()->click(); });
        windows.Form1().menuAction("Sobre")->trigger();
        EXPECT_FALSE(windows.FormAbout().isVisible());
    }
    // Nothing is left pointing at the windows that are gone.
    EXPECT_EQ(ws.session().links().unfilled().size(), 6u);
    EXPECT_FALSE(ws.session().tables().cdsTiles.active());
}

// --- start-up and the working folder -------------------------------------------------------------

// The editor started from a folder that happens to hold an "Imagens" folder
// with a picture of the template set's name that is not a picture.
TEST_F(Form1Test, StartingWithAProjectDoesNotReadTheWorkingFolder) {
    qmtest::TempDir work;
    work.write("Imagens/Grama.bmp", "not a bitmap");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    auto p = projectWithMap();
    form->FormShow({p->projectFile()});
    EXPECT_TRUE(ws->session().projectOpen());
    EXPECT_TRUE(prompts->asked().empty());  // the working folder's picture was never read
    EXPECT_EQ(ws->session().tiles().count(), TileCache::kEntries);

    // Without a project the cache is filled from the working folder, as before.
    form = makeForm();
    ws->session().closeAll();
    qmtest::tilesOf(*ws).GameListImage1.Slot1().Clear();
    form->FormShow({});
    QDir::setCurrent(before);
    // its damaged picture shows as the placeholder
    EXPECT_EQ(ws->session().tiles().unreadable(), std::vector<std::string>{"Imagens\\Grama.bmp"});
}
