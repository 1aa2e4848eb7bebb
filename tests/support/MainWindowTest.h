#pragma once
// The main window over a workspace whose questions are answered from a script,
// for tests that edit a project's maps as a user does: the dialogs these tests
// never open have empty links, the settings live in a temporary folder and
// "Play" starts nothing.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "model/session/Workspace.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uTerreno.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <memory>

namespace qmtest {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        prompts = new ScriptedPrompts;
        ws = std::make_unique<quillmark::Workspace>(std::unique_ptr<quillmark::Prompts>(prompts));
        ws->session().setEditorFolder(binFolder());
    }
    ~MainWindowTest() override {
        form.reset();
        ws.reset();
    }

    // The window, shown; `recentFile`: the file of the last opened project,
    // inside the settings folder.
    void makeWindow(const QString& recentFile = QStringLiteral("conf.ini")) {
        quillmark::WindowLinks& links = ws->session().links();
        links.newMapDialog.fill([] {});
        links.newProjectWizard.fill([] {});
        links.mapProperties.fill([] {});
        links.database.fill([] {});
        quillmark::TForm1::Options o;
        o.iniPath = settings.file("quillmark.INI");
        o.recentPath = settings.file(recentFile);
        o.registerAssociation = [] {};
        o.startProgram = [](const QString&, QString*) { return true; };
        form = std::make_unique<quillmark::TForm1>(*ws, o);
    }
    // "Abrir Projeto" with the fixture's project file; false when it failed.
    bool openProject() {
        return ws->run([&] { form->abrirProjeto(project.projectFile()); });
    }

    quillmark::TMapCanvas& canvas() { return *form->mapArea()->canvas(); }
    QPoint centre(int row, int column) { return canvas().cellRect(row, column).center(); }
    void click(int r, int c, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(&canvas(), Qt::LeftButton, mods, centre(r, c));
    }
    // A tile code becomes the brush, as a palette button makes it.
    void brush(unsigned char code) { ws->session().setBrush(code, ws->session().PegaImg(code)); }
    QUndoStack& stack() { return ws->session().undoStack(); }

    TempDir settings;
    ProjectFixture project;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<quillmark::Workspace> ws;
    std::unique_ptr<quillmark::TForm1> form;
};

}  // namespace qmtest
