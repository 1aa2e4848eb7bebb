#pragma once
// The grammar of event scripts: every command the script window writes, how
// its text is laid out, and how a stored text is read back into commands with
// their arguments and nested blocks. The script window writes with it,
// `quillmark-cli check` judges with it and the game player runs what it reads.
//
// Layout of a command (the stored form has no line breaks, so each command
// carries its own end):
//   - a keyword ending in ':';
//   - a command without arguments ends there ("GameOver:", "IniciaChuva:");
//   - a command with arguments gives them separated by '|' and closes them
//     with '&' ("MudarMapa:3|12|Caverna.xml&"). The last argument may be a
//     free text that holds '|' ("ShowDialog:Face.bmp|Olá | tchau&"); no
//     argument can hold '&'.
//   - "AddChar:" is the one exception: it is the whole cell text, runs to the
//     end and has no '&'.
// Blanks, line breaks and the line mark ';' between commands are passed over.
//
// Blocks: "SeInterruptor:", "SeTemItem:" and "SeDinheiro:" run the commands
// after them up to "Senao:" (optional) or "FimSe:"; the commands after
// "Senao:" run otherwise. "QuestaoObjetiva:" is followed by "Sim:" and "Nao:",
// each opening the block of its answer, and "FimQuestao:";
// "MultiplaEscolha:" by one "Opcao:" per choice (two to four), then
// "FimQuestao:". Blocks nest.
//
// Reading never fails: what breaks the layout is reported as a problem and
// reading goes on with the next command that can be found. A command whose
// arguments are wrong, or a block left without its end, is kept with
// `ok == false` so that a runner skips it (block included).
#include "model/events/EventScript.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// --- Keywords of the commands beyond the first nine ---------------------------------

inline constexpr std::string_view kMudarMapa = "MudarMapa:";
inline constexpr std::string_view kIniciarBatalha = "IniciarBatalha:";
inline constexpr std::string_view kGameOver = "GameOver:";
inline constexpr std::string_view kAdicionarItem = "AdicionarItem:";
inline constexpr std::string_view kMoverHeroi = "MoverHeroi:";
inline constexpr std::string_view kMudarNome = "MudarNome:";
inline constexpr std::string_view kMudarLevel = "MudarLevel:";
inline constexpr std::string_view kQuestaoObjetiva = "QuestaoObjetiva:";
inline constexpr std::string_view kMultiplaEscolha = "MultiplaEscolha:";
inline constexpr std::string_view kLigarInterruptor = "LigarInterruptor:";
inline constexpr std::string_view kDesligarInterruptor = "DesligarInterruptor:";
inline constexpr std::string_view kSeInterruptor = "SeInterruptor:";
inline constexpr std::string_view kSeTemItem = "SeTemItem:";
inline constexpr std::string_view kSeDinheiro = "SeDinheiro:";
inline constexpr std::string_view kDarDinheiro = "DarDinheiro:";
inline constexpr std::string_view kApagarEvento = "ApagarEvento:";

// Block marks: they open the next block of the command around them or end it.
inline constexpr std::string_view kSim = "Sim:";
inline constexpr std::string_view kNao = "Nao:";
inline constexpr std::string_view kOpcao = "Opcao:";
inline constexpr std::string_view kFimQuestao = "FimQuestao:";
inline constexpr std::string_view kSenao = "Senao:";
inline constexpr std::string_view kFimSe = "FimSe:";

// Fixed words of some arguments.
inline constexpr std::string_view kFuga = "Fuga";        // fleeing allowed
inline constexpr std::string_view kSemFuga = "SemFuga";  // fleeing not allowed
inline constexpr std::string_view kLigado = "Ligado";
inline constexpr std::string_view kDesligado = "Desligado";

// Switches are numbered 1 to 100.
inline constexpr int kFirstSwitch = 1;
inline constexpr int kLastSwitch = 100;
// A battle has one to three monsters; a multiple-choice question two to four choices.
inline constexpr int kMaxBattleMonsters = 3;
inline constexpr int kMinChoices = 2;
inline constexpr int kMaxChoices = 4;

// Blocks nest up to this depth; a deeper block is read as a broken command.
inline constexpr std::size_t kMaxBlockDepth = 50;

// The steps of "MoverHeroi:": one letter each.
inline constexpr char kStepUp = 'C';     // cima
inline constexpr char kStepDown = 'B';   // baixo
inline constexpr char kStepLeft = 'E';   // esquerda
inline constexpr char kStepRight = 'D';  // direita

enum class EventCommandKind {
    IniciaChuva,
    PararChuva,
    IniciaNeve,
    PararNeve,
    IniciaTempestade,
    PararTempestade,
    ShowMessage,
    ShowDialog,
    AddChar,
    MudarMapa,
    IniciarBatalha,
    GameOver,
    AdicionarItem,
    MoverHeroi,
    MudarNome,
    MudarLevel,
    QuestaoObjetiva,
    MultiplaEscolha,
    LigarInterruptor,
    DesligarInterruptor,
    SeInterruptor,
    SeTemItem,
    SeDinheiro,
    DarDinheiro,
    ApagarEvento,
};

// What blocks a command has.
enum class BlockShape {
    None,
    Condition,  // then-block, and an else-block after "Senao:"
    YesNo,      // "Sim:" block and "Nao:" block
    Choices,    // one "Opcao:" block per choice
};

struct CommandLayout {
    EventCommandKind kind;
    std::string_view keyword;
    int minArgs;   // 0: nothing after the keyword, no '&'
    int maxArgs;   // the last one takes the rest up to '&', '|' included
    int freeText;  // index of the argument kept exactly as typed; the others are trimmed (-1: none)
    BlockShape blocks;
    const char* arguments;  // the arguments as the documentation names them, for messages
};

// Every command, in the order of the enumeration.
const std::vector<CommandLayout>& commandLayouts();
const CommandLayout& layoutOf(EventCommandKind kind);

// --- The parsed form --------------------------------------------------------------------

struct EventCommand;

struct EventBlock {
    std::vector<EventCommand> commands;
    bool operator==(const EventBlock& o) const;  // below, once EventCommand is whole
};

struct EventCommand {
    EventCommandKind kind = EventCommandKind::GameOver;
    // The arguments as stored (CP1252), in the order of the layout. Names and
    // numbers are trimmed of blanks; a free text is kept as typed.
    std::vector<std::string> args;
    // Condition: the then-block, then the else-block when "Senao:" was given.
    // YesNo: the "Sim:" block and the "Nao:" block. Choices: one per choice.
    std::vector<EventBlock> blocks;
    bool hasElse = false;  // Condition: "Senao:" was given
    // False when the arguments break the layout or a block was left open; a
    // runner skips the command with its blocks.
    bool ok = true;
    std::size_t offset = 0;  // where the keyword starts in the text read
    std::size_t length = 0;  // the keyword and its arguments (not the blocks)

    bool operator==(const EventCommand& o) const {
        return kind == o.kind && args == o.args && blocks == o.blocks && hasElse == o.hasElse && ok == o.ok;
    }
};

inline bool EventBlock::operator==(const EventBlock& o) const { return commands == o.commands; }

struct EventProblem {
    std::size_t offset = 0;  // where in the text read
    std::string command;     // the command's text as found (CP1252), shortened
    std::string message;     // what is wrong, in Portuguese (UTF-8)
};

enum class EventTrigger { None, ActionPress, PlayerTouch };

struct ParsedEvent {
    EventKind kind = EventKind::None;
    EventTrigger trigger = EventTrigger::None;
    std::vector<EventCommand> commands;
    std::vector<EventProblem> problems;
};

// A map cell's event: no event; a trigger marker followed by commands; or an
// object event. An object event that is "AddChar:" gives that one command;
// any other text without a marker gives no command and one problem.
ParsedEvent ParseCellEvent(std::string_view text);

// A script without a cell's rules (a character's "Evento.dat" with its lines
// joined, an item's "Evento"): leading blanks and one trigger marker are
// passed over, then commands.
ParsedEvent ParseScriptText(std::string_view text);

// The commands of a text without a marker. Offsets count from `base`.
void ParseEventCommands(std::string_view text, std::size_t base, ParsedEvent& into);

// A problem as one line for a person: the command, then what is wrong (UTF-8).
std::string describeProblem(const EventProblem& problem);

// Calls `visit` for every command, blocks included, in text order.
template <class F> void forEachCommand(const std::vector<EventCommand>& commands, F&& visit) {
    for (const EventCommand& c : commands) {
        visit(c);
        for (const EventBlock& b : c.blocks) forEachCommand(b.commands, visit);
    }
}

// --- Typed arguments -----------------------------------------------------------------

// The integer of a stored argument (the format's integer rule), or nothing.
std::optional<int> integerArgument(std::string_view arg);

// --- Command texts the script window writes -----------------------------------------
// Each gives the text of one command as it is appended, without line breaks.
// Arguments are CP1252; a name or text holding '&' (or '|' where a further
// argument follows) cannot be written: see argumentProblem.

std::string CommandText(EventCommandKind kind, const std::vector<std::string>& args);

std::string MudarMapaCommand(std::string_view map, int column, int row);
// One to three monster names.
std::string IniciarBatalhaCommand(const std::vector<std::string>& monsters, bool fleeing);
std::string GameOverCommand();
std::string AdicionarItemCommand(std::string_view item, int count);
std::string MoverHeroiCommand(std::string_view steps);
std::string MudarNomeCommand(std::string_view name);
std::string MudarLevelCommand(int level);
std::string QuestaoObjetivaCommand(std::string_view question);
// Two to four choices.
std::string MultiplaEscolhaCommand(std::string_view question, const std::vector<std::string>& choices);
std::string LigarInterruptorCommand(int number);
std::string DesligarInterruptorCommand(int number);
std::string SeInterruptorCommand(int number, bool on);
std::string SeTemItemCommand(std::string_view item, int count);
std::string SeDinheiroCommand(int amount);
std::string DarDinheiroCommand(int amount);
std::string ApagarEventoCommand();

// Why a text typed or chosen in a dialog cannot be an argument, or an empty
// text when it can (UTF-8). `last`: the argument closes the command, so '|'
// may stand in it only when `freeText` is also true.
std::string argumentProblem(std::string_view arg, bool last, bool freeText);

// --- Blocks while a script is written -----------------------------------------------
// The script window appends every line at the end, so a block is written in
// order: its opening command, its commands, then the marks below, which the
// window appends after checking which block is open at the end of the text.

enum class BlockStep {
    Senao,            // "Senao:" for the innermost open condition
    FimSe,            // "FimSe:"
    ProximaResposta,  // "Nao:" after "Sim:", or the next "Opcao:"
    FimQuestao,       // "FimQuestao:" once every answer has its block
};

// The line to append for `step` after `text` (the script so far, any trigger
// marker included). Throws Error with a message for the user when the
// innermost open block does not take the step.
std::string BlockStepLine(std::string_view text, BlockStep step);

}  // namespace quillmark
