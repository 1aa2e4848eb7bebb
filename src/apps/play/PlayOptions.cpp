#include "apps/play/PlayOptions.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "play/model/PlayData.h"
#include "play/model/PlayWorld.h"
#include "play/view/PlayRender.h"

#include <QBuffer>
#include <QDir>
#include <QStringList>
#include <ostream>

namespace quillmark::play {

std::string usageText() {
    return "uso: quillmark-play PROJETO.qmk | PASTA_DO_PROJETO [--map NOME.xml] [--at LINHA,COLUNA]\n"
           "                    [--headless] [--keys TECLAS] [--frames N] [--screenshot SAIDA.png] [--trace]\n"
           "\n"
           "Teclas do jogo: setas ou WASD andam; Espaço, Enter ou Z é a tecla de ação; Esc sai.\n"
           "Modo de teste (--headless): sem janela, joga N quadros de 1/60 s com as TECLAS\n"
           "(U, D, L, R: um passo para cima, baixo, esquerda, direita; A: ação).\n";
}

namespace {

int number(const QString& text, const char* what) {
    try {
        return parseIntegerValue(toCp1252(text));
    } catch (const Error&) {
        throw Error(std::string(what) + ": \"" + text.toStdString() + "\" não é um número");
    }
}

}  // namespace

Options parseOptions(const QStringList& args) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&]() -> QString {
            if (i + 1 >= args.size()) throw Error("falta o valor de " + a.toStdString());
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--map") {
            o.map = next();
            if (o.map.isEmpty()) throw Error("--map: falta o nome do mapa");
        } else if (a == "--at") {
            const QString v = next();
            const QStringList parts = v.split(',');
            if (parts.size() != 2) throw Error("--at: \"" + v.toStdString() + "\" deve ser LINHA,COLUNA");
            o.at = std::pair{number(parts[0], "--at"), number(parts[1], "--at")};
        } else if (a == "--headless") {
            o.headless = true;
        } else if (a == "--keys") {
            const QString v = next().toUpper();
            for (QChar c : v)
                if (!QStringLiteral("UDLRA").contains(c))
                    throw Error("--keys: \"" + QString(c).toStdString() + "\" não é uma tecla (use U, D, L, R e A)");
            o.keys = v.toStdString();
        } else if (a == "--frames") {
            o.frames = number(next(), "--frames");
            if (o.frames < 1 || o.frames > 10'000'000) throw Error("--frames: o número de quadros deve ser positivo");
        } else if (a == "--screenshot") {
            o.screenshot = next();
            if (o.screenshot.isEmpty()) throw Error("--screenshot: falta o nome do arquivo");
        } else if (a == "--trace") {
            o.trace = true;
        } else if (a.startsWith("--")) {
            throw Error("opção desconhecida: " + a.toStdString());
        } else if (o.target.isEmpty()) {
            o.target = a;
        } else {
            throw Error("só um projeto por vez: \"" + a.toStdString() + "\" sobra");
        }
    }
    if (!o.help && o.target.isEmpty()) throw Error("falta o projeto a jogar");
    return o;
}

int runHeadless(const Options& options, const QString& editorFolder, std::ostream& out, std::ostream& err) {
    std::unique_ptr<GameData> data;
    try {
        data = loadGame({options.target, options.map, options.at, editorFolder});
    } catch (const Error& e) {
        err << "quillmark-play: " << e.what() << "\n";
        return kExitFailed;
    }
    for (const std::string& w : data->warnings) err << "quillmark-play: " << w << "\n";

    World world(*data);
    if (options.trace) world.onTrace = [&out](const std::string& line) { out << line << "\n"; };
    world.onProblem = [&err](const std::string& line) { err << "quillmark-play: " << line << "\n"; };
    if (options.trace)
        out << "inicio \"" << cp1252ToUtf8(data->project.ProjectName) << "\" " << cp1252ToUtf8(data->mapName) << " "
            << world.hero().row << "," << world.hero().column << " " << dirName(world.hero().facing) << "\n";

    std::size_t nextKey = 0;
    int boxSince = -1;  // frame at which the keys ran out with a box showing
    for (int f = 0; f < options.frames; ++f) {
        if (nextKey < options.keys.size()) {
            const char k = options.keys[nextKey];
            if (world.box()) {
                ++nextKey;
                if (k == 'A')
                    world.press(Key::Action);
                else if (options.trace)
                    out << "tecla " << k << " ignorada com a caixa aberta\n";
            } else if (world.idle()) {
                ++nextKey;
                world.press(k == 'U'   ? Key::Up
                            : k == 'D' ? Key::Down
                            : k == 'L' ? Key::Left
                            : k == 'R' ? Key::Right
                                       : Key::Action);
            }
        } else if (world.box()) {
            if (boxSince < 0) boxSince = world.frame();
            if (world.frame() - boxSince >= kFramesPerSecond / 2) {
                world.press(Key::Action);
                boxSince = -1;
            }
        }
        world.tick();
    }
    if (options.trace)
        out << "fim quadro " << world.frame() << " heroi " << world.hero().row << "," << world.hero().column << " "
            << dirName(world.hero().facing) << "\n";

    if (!options.screenshot.isEmpty()) {
        Renderer renderer;
        const QImage shot = renderer.grab(QSize(kViewWidth, kViewHeight), world);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!shot.save(&buffer, "PNG")) {
            err << "quillmark-play: a imagem não pôde ser codificada\n";
            return kExitFailed;
        }
        try {
            writeFileAtomic(QDir::current().absoluteFilePath(options.screenshot), png);
        } catch (const Error& e) {
            err << "quillmark-play: " << e.what() << "\n";
            return kExitFailed;
        }
    }
    return kExitOk;
}

}  // namespace quillmark::play
