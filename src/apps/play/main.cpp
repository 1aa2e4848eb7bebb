// quillmark-play: plays a Quillmark project. See play/PlayOptions.h for the
// command line and the test mode.
#include "apps/play/Controller.h"
#include "apps/play/PlayOptions.h"
#include "apps/play/Sound.h"
#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "play/model/PlayData.h"
#include "play/view/PlayWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <cstdio>
#include <iostream>

using namespace quillmark;
using namespace quillmark::play;

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    Options options;
    try {
        options = parseOptions(args);
    } catch (const Error& e) {
        std::cerr << "quillmark-play: " << e.what() << "\n\n" << usageText();
        return kExitUsage;
    }
    if (options.help) {
        std::cout << usageText();
        return kExitOk;
    }

    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/quillmark-play-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    if (options.headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
               qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::cerr << "quillmark-play: não há tela para abrir a janela do jogo (use --headless para o modo de teste)\n";
        return kExitFailed;
    }

    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("quillmark-play"));
    // the template set's pictures stand in for missing ones (beside the
    // program in the build, in PREFIX/share/quillmark when installed)
    const QString editor = editorFolder();

    if (options.headless) return runHeadless(options, editor, std::cout, std::cerr);

    std::unique_ptr<GameData> data;
    try {
        data = loadGame({options.target, options.map, options.at, editor});
    } catch (const Error& e) {
        std::cerr << "quillmark-play: " << e.what() << "\n";
        ErrorWindow window(errorScreenText(e));
        window.show();
        app.exec();
        return kExitFailed;
    }
    for (const std::string& w : data->warnings) std::cerr << "quillmark-play: " << w << "\n";
    const QString projectFolder = data->project.ProjectFolder;
    // the title screen first, unless the command line jumps into the game
    const bool title = options.title || (options.map.isEmpty() && !options.at && options.battle.empty());
    PlayWindow window(std::move(data), options.seed, title);
    auto problem = [](const std::string& line) { std::cerr << "quillmark-play: " << line << "\n"; };
    window.game().onProblem = problem;
    Sound sound(projectFolder, false);
    sound.onProblem = problem;
    window.game().onSound = [&sound](const std::string& file) { sound.play(file); };
    window.game().onMusic = [&sound](const std::string& file) { sound.music(file); };
    if (!options.battle.empty()) window.game().startBattle(options.battle);
    // QUILLMARK_STARTUP_REPORT=1 prints the time from the start of the process
    // to the first frame painted; "exit" also ends the player right there.
    const QByteArray report = qgetenv("QUILLMARK_STARTUP_REPORT");
    if (!report.isEmpty())
        window.onFirstFrame = [&] {
            std::fprintf(stderr, "startup-ms: %.1f\n", clock.nsecsElapsed() / 1e6);
            std::fflush(stderr);
            if (report == "exit") window.close();
        };
    window.show();
    // a game controller plays with the same keys
    Controller pad;
    pad.onKey = [&window](int key, bool down) {
        QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    };
    return app.exec();
}
