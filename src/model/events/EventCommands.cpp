#include "model/events/EventCommands.h"

#include "model/core/Error.h"
#include "model/core/Format.h"
#include "model/core/Text.h"

#include <algorithm>
#include <array>

namespace quillmark {

namespace {

using K = EventCommandKind;

// --- The keyword table ------------------------------------------------------------------

enum class Mark { None, Senao, FimSe, Sim, Nao, Opcao, FimQuestao };

struct Keyword {
    std::string_view text;
    bool command;  // a command (else a block mark)
    K kind;
    Mark mark;
};

const std::vector<CommandLayout> kLayouts = {
    {K::IniciaChuva, kIniciaChuva, 0, 0, -1, BlockShape::None, ""},
    {K::PararChuva, kPararChuva, 0, 0, -1, BlockShape::None, ""},
    {K::IniciaNeve, kIniciaNeve, 0, 0, -1, BlockShape::None, ""},
    {K::PararNeve, kPararNeve, 0, 0, -1, BlockShape::None, ""},
    {K::IniciaTempestade, kIniciaTempestade, 0, 0, -1, BlockShape::None, ""},
    {K::PararTempestade, kPararTempestade, 0, 0, -1, BlockShape::None, ""},
    {K::ShowMessage, kShowMessage, 1, 1, 0, BlockShape::None, "texto"},
    {K::ShowDialog, kShowDialog, 2, 2, 1, BlockShape::None, "face|texto"},
    {K::AddChar, kAddChar, 2, 2, -1, BlockShape::None, "nome|velocidade"},
    {K::MudarMapa, kMudarMapa, 3, 3, -1, BlockShape::None, "coluna|linha|mapa"},
    {K::IniciarBatalha, kIniciarBatalha, 2, 1 + kMaxBattleMonsters, -1, BlockShape::None,
     "Fuga ou SemFuga|monstro|monstro|monstro"},
    {K::GameOver, kGameOver, 0, 0, -1, BlockShape::None, ""},
    {K::AdicionarItem, kAdicionarItem, 2, 2, -1, BlockShape::None, "quantidade|item"},
    {K::MoverHeroi, kMoverHeroi, 1, 1, -1, BlockShape::None, "passos"},
    {K::MudarNome, kMudarNome, 1, 1, 0, BlockShape::None, "nome"},
    {K::MudarLevel, kMudarLevel, 1, 1, -1, BlockShape::None, "nível"},
    {K::QuestaoObjetiva, kQuestaoObjetiva, 1, 1, 0, BlockShape::YesNo, "pergunta"},
    {K::MultiplaEscolha, kMultiplaEscolha, 1 + kMinChoices, 1 + kMaxChoices, -1, BlockShape::Choices,
     "pergunta|escolha|escolha|escolha|escolha"},
    {K::LigarInterruptor, kLigarInterruptor, 1, 1, -1, BlockShape::None, "interruptor"},
    {K::DesligarInterruptor, kDesligarInterruptor, 1, 1, -1, BlockShape::None, "interruptor"},
    {K::SeInterruptor, kSeInterruptor, 2, 2, -1, BlockShape::Condition, "interruptor|Ligado ou Desligado"},
    {K::SeTemItem, kSeTemItem, 2, 2, -1, BlockShape::Condition, "quantidade|item"},
    {K::SeDinheiro, kSeDinheiro, 1, 1, -1, BlockShape::Condition, "quantia"},
    {K::DarDinheiro, kDarDinheiro, 1, 1, -1, BlockShape::None, "quantia"},
    {K::ApagarEvento, kApagarEvento, 0, 0, -1, BlockShape::None, ""},
};

const std::vector<Keyword>& keywords() {
    static const std::vector<Keyword> all = [] {
        std::vector<Keyword> k;
        for (const CommandLayout& l : kLayouts) k.push_back({l.keyword, true, l.kind, Mark::None});
        k.push_back({kSenao, false, K::GameOver, Mark::Senao});
        k.push_back({kFimSe, false, K::GameOver, Mark::FimSe});
        k.push_back({kSim, false, K::GameOver, Mark::Sim});
        k.push_back({kNao, false, K::GameOver, Mark::Nao});
        k.push_back({kOpcao, false, K::GameOver, Mark::Opcao});
        k.push_back({kFimQuestao, false, K::GameOver, Mark::FimQuestao});
        return k;
    }();
    return all;
}

bool isGap(char c) { return c == kLineMark || static_cast<unsigned char>(c) <= ' '; }

bool startsWithText(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A piece of a text for a message, shortened.
std::string excerpt(std::string_view cp1252, std::size_t limit = 40) {
    std::string s(cp1252.substr(0, limit));
    if (cp1252.size() > limit) s += "\x85";  // the ellipsis of the code page
    return s;
}

// --- Argument checks ------------------------------------------------------------------

std::optional<int> integerIn(std::string_view arg, int low, int high) {
    const std::optional<int> v = format::toInteger(arg);
    if (!v || *v < low || *v > high) return std::nullopt;
    return v;
}

// What is wrong with the arguments of a command, or an empty text.
std::string argumentsProblem(K kind, const std::vector<std::string>& a) {
    auto integer = [&](size_t i, const char* what) -> std::string {
        return format::toInteger(a[i]) ? std::string()
                                       : std::string(what) + " \"" + cp1252ToUtf8(a[i]) + "\" não é um número";
    };
    auto name = [&](size_t i, const char* what) -> std::string {
        return a[i].empty() ? std::string("falta ") + what : std::string();
    };
    auto switchNumber = [&](size_t i) -> std::string {
        if (integerIn(a[i], kFirstSwitch, kLastSwitch)) return {};
        return "o interruptor \"" + cp1252ToUtf8(a[i]) + "\" não está entre " + std::to_string(kFirstSwitch) + " e " +
               std::to_string(kLastSwitch);
    };
    switch (kind) {
    case K::MudarMapa: {
        for (size_t i : {size_t(0), size_t(1)}) {
            if (!integerIn(a[i], 1, 100000))
                return std::string(i == 0 ? "a coluna" : "a linha") + " \"" + cp1252ToUtf8(a[i]) +
                       "\" não é um número a partir de 1";
        }
        return name(2, "o mapa");
    }
    case K::IniciarBatalha:
        if (a[0] != kFuga && a[0] != kSemFuga)
            return "\"" + cp1252ToUtf8(a[0]) + "\" no lugar de \"Fuga\" ou \"SemFuga\"";
        for (size_t i = 1; i < a.size(); ++i)
            if (a[i].empty()) return "falta o nome do monstro " + std::to_string(i);
        return {};
    case K::AdicionarItem:
        if (std::string p = integer(0, "a quantidade"); !p.empty()) return p;
        return name(1, "o item");
    case K::MoverHeroi:
        if (a[0].empty()) return "faltam os passos";
        for (char c : a[0])
            if (c != kStepUp && c != kStepDown && c != kStepLeft && c != kStepRight)
                return "o passo \"" + cp1252ToUtf8(std::string(1, c)) + "\" não é C, B, E nem D";
        return {};
    case K::MudarNome:
        return TrimBlanks(a[0]).empty() ? "falta o nome" : std::string();
    case K::MudarLevel:
        return integer(0, "o nível");
    case K::MultiplaEscolha:
        for (size_t i = 1; i < a.size(); ++i)
            if (a[i].empty()) return "a escolha " + std::to_string(i) + " está vazia";
        return {};
    case K::LigarInterruptor:
    case K::DesligarInterruptor:
        return switchNumber(0);
    case K::SeInterruptor:
        if (std::string p = switchNumber(0); !p.empty()) return p;
        if (a[1] != kLigado && a[1] != kDesligado)
            return "\"" + cp1252ToUtf8(a[1]) + "\" no lugar de \"Ligado\" ou \"Desligado\"";
        return {};
    case K::SeTemItem:
        if (!integerIn(a[0], 1, 1 << 30))
            return "a quantidade \"" + cp1252ToUtf8(a[0]) + "\" não é um número a partir de 1";
        return name(1, "o item");
    case K::SeDinheiro:
        if (!integerIn(a[0], 0, 1 << 30))
            return "a quantia \"" + cp1252ToUtf8(a[0]) + "\" não é um número a partir de 0";
        return {};
    case K::DarDinheiro:
        return integer(0, "a quantia");
    default:
        return {};
    }
}

// --- The reader ------------------------------------------------------------------------

class Reader {
public:
    Reader(std::string_view text, std::size_t base, ParsedEvent& out) : text_(text), base_(base), out_(out) {
        next_.fill(0);
        found_.fill(false);
    }

    // Reads every command; open blocks stay on the stack.
    void read() {
        std::size_t pos = 0;
        while (true) {
            while (pos < text_.size() && isGap(text_[pos])) ++pos;
            if (pos >= text_.size()) return;
            const Keyword* k = keywordAt(pos);
            if (!k || (k->command && k->kind == K::AddChar)) {
                pos = skipUnknown(pos, k != nullptr);
                continue;
            }
            if (!k->command) {
                mark(*k, pos);
                pos += k->text.size();
                continue;
            }
            pos = command(layoutOf(k->kind), pos);
            if (pos == std::string_view::npos) return;  // a text without its '&' takes the rest
        }
    }

    // Closes the blocks left open at the end, each as a broken command.
    void finish() {
        while (!stack_.empty()) {
            EventCommand& c = stack_.back().cmd;
            const bool condition = layoutOf(c.kind).blocks == BlockShape::Condition;
            problem(c.offset - base_, c.length,
                    std::string("bloco sem ") + (condition ? "\"FimSe:\"" : "\"FimQuestao:\""));
            c.ok = false;
            pop();
        }
    }

    struct Frame {
        EventCommand cmd;
        std::size_t answers = 0;  // the answers the block mark must give (YesNo and Choices)
    };
    const std::vector<Frame>& open() const { return stack_; }

private:
    const Keyword* keywordAt(std::size_t pos) const {
        // Only the keywords that begin with the character at `pos` are tried.
        static const std::array<std::vector<const Keyword*>, 256> byFirst = [] {
            std::array<std::vector<const Keyword*>, 256> table;
            for (const Keyword& k : keywords()) table[static_cast<unsigned char>(k.text[0])].push_back(&k);
            return table;
        }();
        const std::string_view rest = text_.substr(pos);
        for (const Keyword* k : byFirst[static_cast<unsigned char>(rest[0])])
            if (startsWithText(rest, k->text)) return k;
        return nullptr;
    }

    // Where the next keyword begins at or after `from` (npos when none). Each
    // keyword's next place is kept, so passing over a long broken text stays linear.
    std::size_t nextKeyword(std::size_t from) {
        std::size_t best = std::string_view::npos;
        const std::vector<Keyword>& all = keywords();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (!found_[i] || (next_[i] != std::string_view::npos && next_[i] < from)) {
                next_[i] = text_.find(all[i].text, from);
                found_[i] = true;
            }
            best = std::min(best, next_[i]);
        }
        return best;
    }

    std::size_t skipUnknown(std::size_t pos, bool addChar) {
        std::size_t end = nextKeyword(pos + 1);
        const std::size_t lineMark = text_.find(kLineMark, pos);
        if (lineMark != std::string_view::npos) end = std::min(end, lineMark + 1);
        end = std::min(end, text_.size());
        problem(pos, end - pos,
                addChar ? "\"AddChar:\" só pode estar sozinho numa célula; ignorado"
                        : "comando desconhecido; ignorado");
        return end;
    }

    void problem(std::size_t pos, std::size_t length, std::string message) {
        out_.problems.push_back({base_ + pos, excerpt(text_.substr(pos, length)), std::move(message)});
    }

    // The commands a new command joins, or null before the first answer of a question.
    std::vector<EventCommand>* current() {
        if (stack_.empty()) return &out_.commands;
        EventCommand& c = stack_.back().cmd;
        if (c.blocks.empty()) return nullptr;
        return &c.blocks.back().commands;
    }

    void pop() {
        EventCommand done = std::move(stack_.back().cmd);
        stack_.pop_back();
        std::vector<EventCommand>* into = current();
        if (!into) {  // only when the question around it has no answer yet
            problem(done.offset - base_, done.length, "comando antes da primeira resposta da questão; ignorado");
            return;
        }
        into->push_back(std::move(done));
    }

    // Reads one command at `pos`; returns where the next begins, or npos when
    // its '&' is missing (the rest of the text is its argument).
    std::size_t command(const CommandLayout& layout, std::size_t pos) {
        EventCommand c;
        c.kind = layout.kind;
        c.offset = base_ + pos;
        std::size_t end = pos + layout.keyword.size();
        if (layout.minArgs > 0) {
            const std::size_t amp = text_.find(kTextTerminator, end);
            if (amp == std::string_view::npos) {
                problem(pos, text_.size() - pos, "falta o \"&\" que fecha o comando; ignorado até o fim");
                return std::string_view::npos;
            }
            c.args = splitArguments(layout, text_.substr(end, amp - end));
            end = amp + 1;
        }
        c.length = end - pos;
        std::string wrong;
        const int given = static_cast<int>(c.args.size());
        if (given < layout.minArgs || given > layout.maxArgs)
            wrong = std::string("espera ") + layout.arguments + " e tem " + std::to_string(given) +
                    (given == 1 ? " argumento" : " argumentos");
        else
            wrong = argumentsProblem(layout.kind, c.args);
        if (!wrong.empty()) {
            c.ok = false;
            problem(pos, c.length, wrong);
        }

        const bool tooDeep = layout.blocks != BlockShape::None && stack_.size() >= kMaxBlockDepth;
        if (tooDeep) {  // read as a command without blocks; its marks are stray
            c.ok = false;
            problem(pos, c.length, "blocos dentro de blocos demais (mais de " + std::to_string(kMaxBlockDepth) + ")");
        }
        if (layout.blocks != BlockShape::None && !tooDeep) {
            Frame f;
            if (layout.blocks == BlockShape::Condition) c.blocks.emplace_back();
            f.answers = layout.blocks == BlockShape::YesNo ? 2 : (c.args.empty() ? 0 : c.args.size() - 1);
            f.cmd = std::move(c);
            stack_.push_back(std::move(f));
        } else if (std::vector<EventCommand>* into = current()) {
            into->push_back(std::move(c));
        } else {
            problem(pos, c.length, "comando antes da primeira resposta da questão; ignorado");
        }
        return end;
    }

    std::vector<std::string> splitArguments(const CommandLayout& layout, std::string_view body) {
        std::vector<std::string> args;
        std::size_t start = 0;
        while (true) {
            const bool lastFree =
                static_cast<int>(args.size()) == layout.maxArgs - 1 && layout.freeText == layout.maxArgs - 1;
            const std::size_t bar = lastFree ? std::string_view::npos : body.find(kArgumentSeparator, start);
            const std::string_view piece = body.substr(start, bar == std::string_view::npos ? body.npos : bar - start);
            const bool free = static_cast<int>(args.size()) == layout.freeText;
            args.push_back(free ? std::string(piece) : TrimBlanks(piece));
            if (bar == std::string_view::npos) break;
            start = bar + 1;
        }
        return args;
    }

    void mark(const Keyword& k, std::size_t pos) {
        const std::size_t len = k.text.size();
        if (stack_.empty()) {
            problem(pos, len, "não há bloco aberto; ignorado");
            return;
        }
        Frame& f = stack_.back();
        EventCommand& c = f.cmd;
        const BlockShape shape = layoutOf(c.kind).blocks;
        auto refuse = [&](const char* why) { problem(pos, len, why); };
        switch (k.mark) {
        case Mark::Senao:
            if (shape != BlockShape::Condition) return refuse("o bloco aberto não é um \"Se\"; ignorado");
            if (c.hasElse) return refuse("o bloco já tem \"Senao:\"; ignorado");
            c.hasElse = true;
            c.blocks.emplace_back();
            return;
        case Mark::FimSe:
            if (shape != BlockShape::Condition) return refuse("o bloco aberto não é um \"Se\"; ignorado");
            pop();
            return;
        case Mark::Sim:
        case Mark::Nao:
            if (shape != BlockShape::YesNo) return refuse("o bloco aberto não é uma \"QuestaoObjetiva:\"; ignorado");
            if (c.blocks.size() != (k.mark == Mark::Sim ? 0u : 1u))
                return refuse(k.mark == Mark::Sim ? "\"Sim:\" fora do lugar; ignorado"
                                                  : "\"Nao:\" deve vir depois de \"Sim:\"; ignorado");
            c.blocks.emplace_back();
            return;
        case Mark::Opcao:
            if (shape != BlockShape::Choices) return refuse("o bloco aberto não é uma \"MultiplaEscolha:\"; ignorado");
            if (c.blocks.size() >= f.answers) return refuse("há mais \"Opcao:\" que escolhas; ignorado");
            c.blocks.emplace_back();
            return;
        case Mark::FimQuestao:
            if (shape != BlockShape::YesNo && shape != BlockShape::Choices)
                return refuse("o bloco aberto não é uma questão; ignorado");
            if (c.blocks.size() < f.answers) {
                c.ok = false;
                problem(c.offset - base_, c.length,
                        "a questão tem " + std::to_string(f.answers) + " respostas e só " +
                            std::to_string(c.blocks.size()) + (c.blocks.size() == 1 ? " bloco" : " blocos"));
            }
            pop();
            return;
        case Mark::None:
            return;
        }
    }

    std::string_view text_;
    std::size_t base_;
    ParsedEvent& out_;
    std::vector<Frame> stack_;
    std::array<std::size_t, 64> next_{};
    std::array<bool, 64> found_{};
};

std::size_t markerLength(std::string_view text) {
    if (startsWithText(text, kOnActionPress)) return kOnActionPress.size();
    if (startsWithText(text, kOnPlayerTouch)) return kOnPlayerTouch.size();
    return 0;
}

std::string joinCommand(std::string_view keyword, const std::vector<std::string>& args, bool closed) {
    std::string out(keyword);
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) out += kArgumentSeparator;
        out += args[i];
    }
    if (closed) out += kTextTerminator;
    return out;
}

}  // namespace

const std::vector<CommandLayout>& commandLayouts() { return kLayouts; }

const CommandLayout& layoutOf(EventCommandKind kind) { return kLayouts[static_cast<std::size_t>(kind)]; }

// --- Reading ------------------------------------------------------------------------------

void ParseEventCommands(std::string_view text, std::size_t base, ParsedEvent& into) {
    Reader reader(text, base, into);
    reader.read();
    reader.finish();
}

ParsedEvent ParseCellEvent(std::string_view text) {
    ParsedEvent p;
    p.kind = ClassifyEvent(text);
    if (p.kind == EventKind::None) return p;
    if (const std::size_t m = markerLength(text)) {
        p.trigger = startsWithText(text, kOnActionPress) ? EventTrigger::ActionPress : EventTrigger::PlayerTouch;
        ParseEventCommands(text.substr(m), m, p);
        return p;
    }
    if (format::isAddChar(text)) {
        const AddCharArgs a = ParseAddChar(text);
        EventCommand c;
        c.kind = K::AddChar;
        c.args = {a.name, a.speed};
        c.length = text.size();
        if (a.name.empty()) {
            c.ok = false;
            p.problems.push_back({0, excerpt(text), "falta o nome do personagem"});
        }
        p.commands.push_back(std::move(c));
        return p;
    }
    p.problems.push_back(
        {0, excerpt(text), "o texto não começa por \"OnActionPress>\", \"OnPlayerTouch>\" nem \"AddChar:\"; ignorado"});
    return p;
}

ParsedEvent ParseScriptText(std::string_view text) {
    ParsedEvent p;
    std::size_t start = 0;
    while (start < text.size() && isGap(text[start])) ++start;
    const std::size_t m = markerLength(text.substr(start));
    if (m)
        p.trigger =
            startsWithText(text.substr(start), kOnActionPress) ? EventTrigger::ActionPress : EventTrigger::PlayerTouch;
    p.kind = start + m < text.size() || m ? EventKind::Trigger : EventKind::None;
    ParseEventCommands(text.substr(start + m), start + m, p);
    return p;
}

std::string describeProblem(const EventProblem& problem) {
    return "comando \"" + cp1252ToUtf8(problem.command) + "\": " + problem.message;
}

std::optional<int> integerArgument(std::string_view arg) { return format::toInteger(arg); }

// --- Writing --------------------------------------------------------------------------------

std::string CommandText(EventCommandKind kind, const std::vector<std::string>& args) {
    const CommandLayout& l = layoutOf(kind);
    return joinCommand(l.keyword, args, l.minArgs > 0 && kind != K::AddChar);
}

std::string MudarMapaCommand(std::string_view map, int column, int row) {
    return CommandText(K::MudarMapa, {std::to_string(column), std::to_string(row), std::string(map)});
}

std::string IniciarBatalhaCommand(const std::vector<std::string>& monsters, bool fleeing) {
    std::vector<std::string> args{std::string(fleeing ? kFuga : kSemFuga)};
    args.insert(args.end(), monsters.begin(), monsters.end());
    return CommandText(K::IniciarBatalha, args);
}

std::string GameOverCommand() { return std::string(kGameOver); }

std::string AdicionarItemCommand(std::string_view item, int count) {
    return CommandText(K::AdicionarItem, {std::to_string(count), std::string(item)});
}

std::string MoverHeroiCommand(std::string_view steps) { return CommandText(K::MoverHeroi, {std::string(steps)}); }

std::string MudarNomeCommand(std::string_view name) { return CommandText(K::MudarNome, {std::string(name)}); }

std::string MudarLevelCommand(int level) { return CommandText(K::MudarLevel, {std::to_string(level)}); }

std::string QuestaoObjetivaCommand(std::string_view question) {
    return CommandText(K::QuestaoObjetiva, {std::string(question)});
}

std::string MultiplaEscolhaCommand(std::string_view question, const std::vector<std::string>& choices) {
    std::vector<std::string> args{std::string(question)};
    args.insert(args.end(), choices.begin(), choices.end());
    return CommandText(K::MultiplaEscolha, args);
}

std::string LigarInterruptorCommand(int number) { return CommandText(K::LigarInterruptor, {std::to_string(number)}); }

std::string DesligarInterruptorCommand(int number) {
    return CommandText(K::DesligarInterruptor, {std::to_string(number)});
}

std::string SeInterruptorCommand(int number, bool on) {
    return CommandText(K::SeInterruptor, {std::to_string(number), std::string(on ? kLigado : kDesligado)});
}

std::string SeTemItemCommand(std::string_view item, int count) {
    return CommandText(K::SeTemItem, {std::to_string(count), std::string(item)});
}

std::string SeDinheiroCommand(int amount) { return CommandText(K::SeDinheiro, {std::to_string(amount)}); }

std::string DarDinheiroCommand(int amount) { return CommandText(K::DarDinheiro, {std::to_string(amount)}); }

std::string ApagarEventoCommand() { return std::string(kApagarEvento); }

std::string argumentProblem(std::string_view arg, bool last, bool freeText) {
    if (arg.find(kTextTerminator) != std::string_view::npos) return "não pode conter \"&\"";
    if (arg.find(kArgumentSeparator) != std::string_view::npos && !(last && freeText)) return "não pode conter \"|\"";
    return {};
}

// --- Blocks while a script is written ---------------------------------------------------

std::string BlockStepLine(std::string_view text, BlockStep step) {
    ParsedEvent scratch;
    std::size_t start = 0;
    while (start < text.size() && isGap(text[start])) ++start;
    start += markerLength(text.substr(start));
    Reader reader(text.substr(start), start, scratch);
    reader.read();
    const auto& open = reader.open();
    const bool forCondition = step == BlockStep::Senao || step == BlockStep::FimSe;
    if (open.empty())
        throw Error(forCondition
                        ? "Não há \"Se\" aberto: use antes \"Se Interruptor\", \"Se Tem Item\" ou \"Se Dinheiro\""
                        : "Não há questão aberta: use antes \"Questão Objetiva\" ou \"Questão de Multipla Escolha\"");
    const Reader::Frame& f = open.back();
    const BlockShape shape = layoutOf(f.cmd.kind).blocks;
    if (forCondition && shape != BlockShape::Condition)
        throw Error("O bloco aberto por último é uma questão: termine-a antes com \"Fim da Questão\"");
    if (!forCondition && shape == BlockShape::Condition)
        throw Error("O bloco aberto por último é um \"Se\": termine-o antes com \"Fim do Se\"");
    switch (step) {
    case BlockStep::Senao:
        if (f.cmd.hasElse) throw Error("O \"Se\" aberto já tem \"Senão\"");
        return std::string(kSenao);
    case BlockStep::FimSe:
        return std::string(kFimSe);
    case BlockStep::ProximaResposta:
        if (f.cmd.blocks.size() >= f.answers)
            throw Error("Todas as respostas da questão já têm seu bloco: use \"Fim da Questão\"");
        if (shape == BlockShape::YesNo) return std::string(f.cmd.blocks.empty() ? kSim : kNao);
        return std::string(kOpcao);
    case BlockStep::FimQuestao:
        if (f.cmd.blocks.size() < f.answers)
            throw Error("Falta o bloco de " + std::to_string(f.answers - f.cmd.blocks.size()) +
                        (f.answers - f.cmd.blocks.size() == 1 ? " resposta" : " respostas") +
                        ": use \"Próxima Resposta\"");
        return std::string(kFimQuestao);
    }
    return {};
}

}  // namespace quillmark
