// The editor: a splash window, every window created once, the main window's
// first show (with the project named on the command line), the event loop.
#include "apps/editor/uWindows.h"
#include "model/core/Paths.h"
#include "model/session/Association.h"
#include "model/session/Workspace.h"
#include "ui/common/uArt.h"
#include "ui/common/uPrompts.h"
#include "ui/main/uPrincipal.h"
#include "ui/main/uSplash.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

// Qt asks for a private runtime folder; give it one quietly when the session has none.
void ensureRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QString dir = QDir::tempPath() + QStringLiteral("/quillmark-runtime-") + QString::number(getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    ensureRuntimeFolder();
    QApplication app(argc, argv);
    // Stock buttons and dialogs speak Portuguese, like the editor's own texts.
    quillmark::installPortugueseTranslations(app);

    // 1. The splash window.
    auto* splash = new quillmark::TFormSplash;
    splash->showSplash();
    splash->hideBeforeDialogs();  // an error at start-up is not hidden behind it
    QCoreApplication::processEvents();

    // 2. The application title. No display name: the toolkit would append it
    // to every window's caption on its way to the window system.
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark"));
    QApplication::setWindowIcon(quillmark::art::applicationIcon());

    // 3. Every window, once.
    quillmark::Workspace ws(std::make_unique<quillmark::QtPrompts>());
    ws.session().setEditorFolder(quillmark::editorFolder());
    // The ".qmk" association is looked for once the window is up (below), not
    // while the windows are made.
    quillmark::TForm1::Options options;
    options.registerAssociation = [] {};
    quillmark::TApplicationWindows windows(ws, std::move(options));
    quillmark::TForm1& form1 = windows.Form1();

    // The main window's first show; the splash goes afterwards.
    form1.FormShow(QApplication::arguments().mid(1));
    splash->hide();
    delete splash;

    // QUILLMARK_STARTUP_REPORT=1 prints the time from the start of the process
    // to the main window painted; "exit" also ends the editor right there.
    const QByteArray report = qgetenv("QUILLMARK_STARTUP_REPORT");
    if (!report.isEmpty()) {
        QCoreApplication::processEvents();
        form1.repaint();
        std::fprintf(stderr, "startup-ms: %.1f\n", clock.nsecsElapsed() / 1e6);
        std::fflush(stderr);
        if (report == "exit") return 0;
    }

    // The association: written when no program opens "*.qmk" files yet. It
    // runs when the event loop first turns, after the window is on screen.
    QTimer::singleShot(0, &form1, [] {
        quillmark::ensureAssociation(QCoreApplication::applicationFilePath(), quillmark::XdgFolders::fromEnvironment(),
                                     quillmark::art::logoSvg());
    });

    // 4. The main window's event loop.
    return app.exec();
}
