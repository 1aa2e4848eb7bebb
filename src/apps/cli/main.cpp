// quillmark-cli: creates projects and maps, prints, re-saves, draws and checks
// maps from the command line, with the editor's own model code.
//
// Exit status: 0 success, 1 the operation failed (the editor's error text on
// standard error), 2 the command line is wrong.
#include "apps/cli/Cli.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace quillmark::cli;

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    int (*run)(const Args&);
    std::vector<std::string> valued;
    std::vector<std::string> flags;
    bool drawsText = false;  // needs the font machinery: a QGuiApplication
    bool hidden = false;     // left out of --help (build steps)
};

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"new",
         "new PROJECT.qmk [--name NAME] [--author AUTHOR] [--replace]",
         "cria um projeto como o \"Novo Projeto\" do editor, a partir do conjunto-modelo (nome padrão \"Meu Game\"); "
         "com --replace, um arquivo de projeto que já existe é gravado de novo e os demais arquivos da pasta ficam, "
         "exceto o executável do jogo feito por uma versão anterior, que é substituído pelo atual",
         cmdNew,
         {"--name", "--author"},
         {"--replace"}},
        {"new-map",
         "new-map PROJECT.qmk NAME [--size N]",
         "acrescenta ao projeto um mapa N x N (1 a 100, padrão 14) chamado NAME, como o \"Novo Mapa\" do editor",
         cmdNewMap,
         {"--size"},
         {}},
        {"dump", "dump PROJECT.qmk MAP", "imprime o mapa MAP (\"Vila.xml\") como um objeto JSON", cmdDump, {}, {}},
        {"resave",
         "resave PROJECT.qmk MAP",
         "lê e grava o mapa de novo, recalculando \"Transparente\" pela tabela de tiles",
         cmdResave,
         {},
         {}},
        {"render",
         "render PROJECT.qmk MAP OUT.png [--mode upper|lower|events] [--coordinates] [--no-events] [--no-objects]",
         "desenha o mapa inteiro como o editor o mostra, num PNG de 40·N x 40·N pixels",
         cmdRender,
         {"--mode"},
         {"--coordinates", "--no-events", "--no-objects"},
         true},
        {"check",
         "check PROJECT.qmk [--repair]",
         "lê tudo o que o editor lê e lista cada problema numa linha (status 1 se houver algum); com --repair, "
         "completa antes o que um comando interrompido deixou pela metade (mapas fora da árvore ou da lista)",
         cmdCheck,
         {},
         {"--repair"}},
        {"export",
         "export PROJECT.qmk MAP OUT.tmx [--force]",
         "exporta o mapa MAP para o Tiled: OUT.tmx e, ao lado, o conjunto de tiles Tiles.tsx com a imagem Tiles.png; "
         "nunca dentro de \"Mapas\" ou \"Data\" do projeto, e um arquivo existente que não seja TMX só com --force",
         cmdExport,
         {},
         {"--force"}},
        {"import",
         "import PROJECT.qmk IN.tmx NAME [--empty CODE] [--drop-extra]",
         "importa um mapa do Tiled como o novo mapa NAME do projeto, como o \"Novo Mapa\" do editor; células vazias "
         "recebem o código CODE (48 a 191) e, com --drop-extra, camadas e objetos que o editor não guarda ficam de "
         "fora",
         cmdImport,
         {"--empty"},
         {"--drop-extra"}},
        {"textconv",
         "textconv FILE",
         "imprime um mapa, uma tabela, o arquivo de projeto ou a árvore de mapas como texto legível para o "
         "\"git diff\" (uma linha por célula diferente de um mapa novo, uma por campo de cada registro)",
         cmdTextconv,
         {},
         {}},
        {"merge",
         "merge BASE OURS THEIRS [--path NAME]",
         "une três versões de um arquivo do projeto (célula a célula, registro a registro) e grava o resultado em "
         "OURS; status 1 com a lista de conflitos, nos quais fica a versão OURS",
         cmdMerge,
         {"--path"},
         {}},
        {"git-setup",
         "git-setup PROJECT.qmk",
         "grava o .gitattributes do projeto e configura o repositório git que o contém para comparar e unir mapas "
         "e tabelas com textconv e merge",
         cmdGitSetup,
         {},
         {}},
        {"package",
         "package PROJECT.qmk OUT [--tar] [--replace] [--force]",
         "empacota o jogo numa pasta OUT (com --tar, num arquivo OUT.tar.gz) que o joga em qualquer desktop Debian 12 "
         "ou mais novo, sem o Quillmark: os arquivos do projeto que o jogo lê, o quillmark-play, as bibliotecas e "
         "plugins Qt de que ele precisa e um lançador com o nome do jogo. OUT existente só com --replace; um "
         "projeto com problemas (os de check) só com --force",
         cmdPackage,
         {},
         {"--tar", "--replace", "--force"}},
        {"demo", "demo FOLDER", "gera o projeto de demonstração na pasta FOLDER", cmdDemo, {}, {}, false, true},
    };
    return table;
}

std::string helpText() {
    std::string text =
        "Uso: quillmark-cli COMANDO ARGUMENTOS...\n"
        "Textos na linha de comando e na saída em UTF-8; MAP é o nome do arquivo do mapa como o projeto o lista "
        "(\"Vila.xml\").\n"
        "Status de saída: 0 sucesso, 1 a operação falhou (mensagem do editor na saída de erro), 2 erro de uso.\n\n";
    for (const Command& c : commands()) {
        if (c.hidden) continue;
        text += "  " + std::string(c.synopsis) + " — " + c.help + "\n";
    }
    return text;
}

const Command* findCommand(const std::string& name) {
    for (const Command& c : commands())
        if (name == c.name) return &c;
    return nullptr;
}

// The GUI side of Qt wants a private runtime folder; without one it warns on
// standard error, where only the command's own messages belong.
void useRuntimeFolder() {
    if (std::getenv("XDG_RUNTIME_DIR")) return;
    const std::string folder = "/tmp/quillmark-runtime-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 0077) == 0)
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

bool isHelp(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a platform, and there may be no display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

    if (argc < 2) {
        err("quillmark-cli: falta o comando\n" + helpText());
        return kExitUsage;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (isHelp(argv[i])) {
            out(helpText());
            return kExitOk;
        }
    }

    const Command* command = findCommand(argv[1]);
    if (!command) {
        err("quillmark-cli: comando desconhecido \"" + std::string(argv[1]) + "\" (veja quillmark-cli --help)\n");
        return kExitUsage;
    }

    // The application object gives the editor folder (the template set lies
    // beside the executable); drawing text needs the GUI one.
    std::unique_ptr<QCoreApplication> app;
    if (command->drawsText) {
        useRuntimeFolder();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else
        app = std::make_unique<QCoreApplication>(argc, argv);

    try {
        std::vector<std::string> words(argv + 2, argv + argc);
        const Args args(words, command->valued, command->flags);
        return command->run(args);
    } catch (const UsageError& e) {
        err("quillmark-cli " + std::string(command->name) + ": " + e.what() + "\nUso: quillmark-cli " +
            command->synopsis + "\n");
        return kExitUsage;
    } catch (const std::exception& e) {
        err(std::string(e.what()) + "\n");
        return kExitFailed;
    }
}
