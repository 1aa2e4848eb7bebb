#include "apps/play/PlayOptions.h"

#include "apps/play/Sound.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/ProjectFile.h"
#include "model/core/Text.h"
#include "play/model/Game.h"
#include "play/model/PlayData.h"
#include "play/view/PlayRender.h"

#include <QBuffer>
#include <QDir>
#include <QStringList>
#include <ostream>

namespace quillmark::play {

std::string usageText() {
    return "uso: quillmark-play PROJETO.qmk | PASTA_DO_PROJETO [--map NOME.xml] [--at LINHA,COLUNA]\n"
           "                    [--seed N] [--battle NOME[,NOME,NOME]] [--title]\n"
           "                    [--headless] [--keys TECLAS] [--frames N] [--screenshot SAIDA.png] [--trace]\n"
           "\n"
           "A janela começa na tela de título (\"Novo Jogo\", \"Continuar\", \"Sair\"), a não ser que --map, --at\n"
           "ou --battle levem direto ao jogo; o modo de teste começa no mapa, ou no título com --title.\n"
           "\n"
           "Teclas do jogo: setas ou WASD andam; Espaço, Enter ou Z é a tecla de ação; I abre e fecha\n"
           "a lista de itens; Esc abre o menu (\"Itens\", \"Magias\", \"Status\", \"Salvar\", \"Sair\") e volta nele;\n"
           "F1 mostra as teclas; F11 ou Alt+Enter: tela cheia. Um controle de jogo usa as mesmas teclas:\n"
           "direcional e alavanca esquerda andam, A é a ação, B volta, X os itens, Y as teclas, Start o menu.\n"
           "Na batalha: K \"Atacar\", M \"Magia\", "
           "I \"Item\", E \"Defender\",\n"
           "F \"Fugir\"; setas e ação escolhem na lista; 1 a 9 escolhem direto; Backspace ou X volta.\n"
           "Numa questão, setas para cima e para baixo e a tecla de ação respondem; 1 a 4 escolhem direto.\n"
           "\n"
           "Modo de teste (--headless): sem janela, joga N quadros de 1/60 s com as TECLAS\n"
           "(U, D, L, R: um passo para cima, baixo, esquerda, direita; A: ação; I: itens; P: o menu (Esc);\n"
           "K, M, I, E, F: os comandos da batalha; B: volta; 1 a 9: um item da lista).\n"
           "Numa questão, 1 a 4 escolhem a resposta (1 \"Sim\", 2 \"Não\"; numa de múltipla escolha, a\n"
           "escolha de mesmo número); U e D movem o cursor e A responde o que ele marca. Uma questão\n"
           "ainda aberta quando as teclas acabam fica esperando.\n"
           "Os jogos salvos ficam em \"Saves\\Save1.sav\" a \"Saves\\Save3.sav\" do projeto.\n"
           "--seed N repete todos os sorteios; --battle começa já uma batalha contra esses inimigos;\n"
           "--trace escreve cada passo, evento, ação da batalha (dano e HP), vitória e nível.\n"
           "\n"
           "O jogo:\n"
           "  Dano: força - defesa / 2 + um acréscimo sorteado de 0 a força / 4, pelo menos 1;\n"
           "        \"Defender\" divide ao meio o dano recebido até o próximo turno do herói.\n"
           "        Uma magia de dano causa o seu DanoCausado (ao meio contra quem defende).\n"
           "  Fuga: chance de 50 + 2 x (agilidade do herói - a maior agilidade dos inimigos) por cento,\n"
           "        entre 10 e 95.\n"
           "  Turnos: o mais ágil age primeiro; o herói antes de um inimigo tão ágil quanto ele.\n"
           "  Experiência: subir n níveis acima de NvInicial pede 10 x n x (n + 1) no total\n"
           "        (20, 60, 120, 200 ...), nunca além de NvMax; cada atributo vai em linha reta\n"
           "        do valor inicial em NvInicial ao máximo em NvMax.\n"
           "  Encontros: num mapa com batalhas randômicas, nenhuma nos 7 primeiros passos depois da\n"
           "        anterior; depois, 1 chance em 16 a cada passo (uma a cada 23 passos em média),\n"
           "        com um a três inimigos sorteados entre os do mapa.\n";
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
                if (!QStringLiteral("UDLRAIPKMEFB123456789").contains(c))
                    throw Error("--keys: \"" + QString(c).toStdString() +
                                "\" não é uma tecla (use U, D, L, R, A, I, P, K, M, E, F, B e 1 a 9)");
            o.keys = v.toStdString();
        } else if (a == "--seed") {
            const QString v = next();
            bool ok = false;
            const qulonglong seed = v.toULongLong(&ok);
            if (!ok || seed > 0xFFFFFFFFull)
                throw Error("--seed: \"" + v.toStdString() + "\" não é um número de 0 a 4294967295");
            o.seed = static_cast<std::uint32_t>(seed);
        } else if (a == "--battle") {
            const QString v = next();
            o.battle.clear();
            for (const QString& name : v.split(',')) {
                bool ok = true;
                const std::string n = toCp1252(name.trimmed(), &ok);
                if (n.empty() || !ok) throw Error("--battle: \"" + v.toStdString() + "\" deve ser NOME[,NOME,NOME]");
                o.battle.push_back(n);
            }
            if (o.battle.size() > 3) throw Error("--battle: no máximo três inimigos");
        } else if (a == "--frames") {
            o.frames = number(next(), "--frames");
            if (o.frames < 1 || o.frames > 10'000'000) throw Error("--frames: o número de quadros deve ser positivo");
        } else if (a == "--screenshot") {
            o.screenshot = next();
            if (o.screenshot.isEmpty()) throw Error("--screenshot: falta o nome do arquivo");
        } else if (a == "--trace") {
            o.trace = true;
        } else if (a == "--title") {
            o.title = true;
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

    Game game(*data, options.seed);
    if (options.trace) game.onTrace = [&out](const std::string& line) { out << line << "\n"; };
    game.onProblem = [&err](const std::string& line) { err << "quillmark-play: " << line << "\n"; };
    const World& start = game.world();
    if (options.trace)
        out << "inicio \"" << cp1252ToUtf8(data->project.ProjectName) << "\" " << cp1252ToUtf8(data->mapName) << " "
            << start.hero().row << "," << start.hero().column << " " << dirName(start.hero().facing) << "\n";
    // the silent driver: every sound is read and played, and nothing is heard
    Sound sound(data->project.ProjectFolder, true);
    sound.onProblem = [&err](const std::string& line) { err << "quillmark-play: " << line << "\n"; };
    game.onSound = [&sound](const std::string& file) { sound.play(file); };
    game.onMusic = [&sound](const std::string& file) { sound.music(file); };
    if (options.title) game.showTitle();
    if (!options.battle.empty()) game.startBattle(options.battle);

    std::size_t nextKey = 0;
    int boxSince = -1;  // frame at which the keys ran out with a box showing
    for (int f = 0; f < options.frames && !game.quitRequested(); ++f) {
        const bool box = game.scene() == SceneKind::Map && game.world().box();
        if (game.fading()) {
            // a transfer: keys wait for the new map
        } else if (nextKey < options.keys.size()) {
            const char k = options.keys[nextKey];
            if (box && game.world().box()->asking()) {
                // a question: up and down move the cursor, A or a digit answers
                ++nextKey;
                if (k == 'A' || k == 'U' || k == 'D')
                    game.press(k == 'A' ? Key::Action : k == 'U' ? Key::Up : Key::Down);
                else if (k >= '1' && k <= '9')
                    game.press(Key::Choice, k - '0');
                else if (options.trace)
                    out << "tecla " << k << " ignorada com a questão aberta\n";
            } else if (box) {
                ++nextKey;
                if (k == 'A')
                    game.press(Key::Action);
                else if (options.trace)
                    out << "tecla " << k << " ignorada com a caixa aberta\n";
            } else if (game.idle()) {
                ++nextKey;
                if (k >= '1' && k <= '9')
                    game.press(Key::Choice, k - '0');
                else
                    game.press(k == 'U'   ? Key::Up
                               : k == 'D' ? Key::Down
                               : k == 'L' ? Key::Left
                               : k == 'R' ? Key::Right
                               : k == 'I' ? Key::Item
                               : k == 'K' ? Key::Attack
                               : k == 'M' ? Key::Magic
                               : k == 'E' ? Key::Defend
                               : k == 'F' ? Key::Flee
                               : k == 'B' ? Key::Back
                               : k == 'P' ? Key::Menu
                                          : Key::Action);
            }
        } else if (box && !game.world().box()->asking()) {
            if (boxSince < 0) boxSince = game.frame();
            if (game.frame() - boxSince >= kFramesPerSecond / 2) {
                game.press(Key::Action);
                boxSince = -1;
            }
        }
        game.tick();
    }
    if (options.trace) {
        const GameState& s = game.state();
        out << "estado "
            << (game.scene() == SceneKind::Battle     ? "batalha"
                : game.scene() == SceneKind::GameOver ? "fim de jogo"
                : game.scene() == SceneKind::Title    ? "titulo"
                : game.scene() == SceneKind::Menu     ? "menu"
                                                      : "mapa")
            << " nivel " << s.level() << " experiencia " << s.experience() << " dinheiro " << s.money() << " HP "
            << s.hp() << "/" << s.maxHp() << " MP " << s.mp() << "/" << s.maxMp() << " itens";
        if (s.inventory().empty()) out << " nenhum";
        for (const auto& [name, count] : s.inventory()) out << " " << cp1252ToUtf8(name) << " x" << count;
        out << "\n";
    }
    const World& world = game.world();
    if (options.trace)
        out << "fim quadro " << game.frame() << " heroi " << world.hero().row << "," << world.hero().column << " "
            << dirName(world.hero().facing) << "\n";

    if (!options.screenshot.isEmpty()) {
        Renderer renderer;
        const QImage shot = renderer.grab(QSize(kViewWidth, kViewHeight), game);
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
