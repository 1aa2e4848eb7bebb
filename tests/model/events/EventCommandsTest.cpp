// The grammar of event scripts: every command written, stored (one line, or
// one line per command with ';'), reopened and read back to the same command;
// the texts of the first nine commands read as they always did; broken texts
// lose only what is broken.
#include "model/events/EventCommands.h"
#include "model/core/Error.h"

#include <gtest/gtest.h>

using namespace quillmark;
using K = EventCommandKind;
using Lines = std::vector<std::string>;

namespace {

// The commands that ran, one per entry: "Keyword:arg|arg" (blocks as "{…}"),
// skipping what a runner skips (ok == false).
std::string shown(const std::vector<EventCommand>& commands) {
    std::string out;
    for (const EventCommand& c : commands) {
        if (!out.empty()) out += ' ';
        if (!c.ok) {
            out += "!";
        }
        out += std::string(layoutOf(c.kind).keyword);
        for (size_t i = 0; i < c.args.size(); ++i) out += (i ? "|" : "") + c.args[i];
        for (const EventBlock& b : c.blocks) out += "{" + shown(b.commands) + "}";
    }
    return out;
}

// A script as the script window holds it: the marker line, then each command
// appended as new line(s), each line ended by ';' when `marks`.
Lines written(const Lines& commands, bool marks) {
    Lines lines{std::string(kOnActionPress)};
    if (marks) lines.back() += ';';
    for (const std::string& c : commands) {
        AppendCommandLines(lines, c);
        if (marks) lines.back() += ';';
    }
    return lines;
}

}  // namespace

TEST(EventGrammar, EveryWrittenCommandReadsBackWithItsArgumentsStoredAndReopened) {
    // Each command as its dialog writes it, and what reading gives back.
    struct Case {
        std::string text;
        K kind;
        Lines args;
    };
    const std::vector<Case> cases = {
        {MudarMapaCommand("Caverna.xml", 3, 12), K::MudarMapa, {"3", "12", "Caverna.xml"}},
        {IniciarBatalhaCommand({"Lobo", "Morcego Gigante", "Lobo"}, false),
         K::IniciarBatalha,
         {"SemFuga", "Lobo", "Morcego Gigante", "Lobo"}},
        {IniciarBatalhaCommand({"Slime"}, true), K::IniciarBatalha, {"Fuga", "Slime"}},
        {GameOverCommand(), K::GameOver, {}},
        {AdicionarItemCommand("Po\xE7\xE3o", -2), K::AdicionarItem, {"-2", "Po\xE7\xE3o"}},
        {MoverHeroiCommand("CCDDBE"), K::MoverHeroi, {"CCDDBE"}},
        {MudarNomeCommand("Jo\xE3o | o Bravo"), K::MudarNome, {"Jo\xE3o | o Bravo"}},
        {MudarLevelCommand(7), K::MudarLevel, {"7"}},
        {LigarInterruptorCommand(1), K::LigarInterruptor, {"1"}},
        {DesligarInterruptorCommand(100), K::DesligarInterruptor, {"100"}},
        {DarDinheiroCommand(-50), K::DarDinheiro, {"-50"}},
        {ApagarEventoCommand(), K::ApagarEvento, {}},
        {ShowMessageCommand("Linha um\r\nlinha dois"), K::ShowMessage, {"Linha umlinha dois"}},
        {ShowDialogCommand("Sabio.bmp", "Ol\xE1"), K::ShowDialog, {"Sabio.bmp", "Ol\xE1"}},
        {IniciaNeveCommand(), K::IniciaNeve, {}},
    };
    for (const bool marks : {false, true}) {
        Lines all;
        for (const Case& c : cases) all.push_back(c.text);
        const std::string stored = CloseEventText(written(all, marks));
        const Lines reopened = SplitEventText(stored);
        // Without ';' the script reopens as one line; with them, one line per command line.
        EXPECT_EQ(reopened.size(), marks ? cases.size() + 2 : 1u);
        const ParsedEvent p = ParseCellEvent(FlattenEventText(reopened));
        EXPECT_EQ(p.trigger, EventTrigger::ActionPress);
        EXPECT_TRUE(p.problems.empty()) << describeProblem(p.problems.front());
        ASSERT_EQ(p.commands.size(), cases.size());
        for (size_t i = 0; i < cases.size(); ++i) {
            EXPECT_EQ(p.commands[i].kind, cases[i].kind) << cases[i].text;
            EXPECT_EQ(p.commands[i].args, cases[i].args) << cases[i].text;
            EXPECT_TRUE(p.commands[i].ok) << cases[i].text;
            EXPECT_TRUE(p.commands[i].blocks.empty());
        }
    }
}

TEST(EventGrammar, BlocksNestAndReadBackWithOrWithoutLineMarks) {
    // A question whose "Sim" holds a switch test with its "Senao", a choice of
    // three, and a money test without "Senao".
    const Lines commands = {
        QuestaoObjetivaCommand("Abrir o ba\xFA?"),
        std::string(kSim),
        SeInterruptorCommand(5, true),
        AdicionarItemCommand("Espada", 1),
        ApagarEventoCommand(),
        std::string(kSenao),
        ShowMessageCommand("Trancado."),
        std::string(kFimSe),
        std::string(kNao),
        std::string(kFimQuestao),
        MultiplaEscolhaCommand("Para onde?", {"Vila", "Floresta", "Caverna"}),
        std::string(kOpcao),
        MudarMapaCommand("Vila.xml", 2, 2),
        std::string(kOpcao),
        std::string(kOpcao),
        SeDinheiroCommand(10),
        DarDinheiroCommand(-10),
        std::string(kFimSe),
        std::string(kFimQuestao),
        SeTemItemCommand("Chave", 2),
        std::string(kFimSe),
    };
    const std::string expected =
        "QuestaoObjetiva:Abrir o ba\xFA?{SeInterruptor:5|Ligado{AdicionarItem:1|Espada ApagarEvento:}"
        "{ShowMessage:Trancado.}}{} "
        "MultiplaEscolha:Para onde?|Vila|Floresta|Caverna{MudarMapa:2|2|Vila.xml}{}"
        "{SeDinheiro:10{DarDinheiro:-10}} SeTemItem:2|Chave{}";
    for (const bool marks : {false, true}) {
        const std::string stored = CloseEventText(written(commands, marks));
        const ParsedEvent p = ParseCellEvent(FlattenEventText(SplitEventText(stored)));
        EXPECT_TRUE(p.problems.empty()) << describeProblem(p.problems.front());
        EXPECT_EQ(shown(p.commands), expected) << stored;
        EXPECT_TRUE(p.commands[0].blocks[0].commands[0].hasElse);
        EXPECT_FALSE(p.commands[2].hasElse);
    }
}

TEST(EventGrammar, TextsOfTheFirstNineCommandsReadAsBefore) {
    struct Case {
        const char* text;
        EventTrigger trigger;
        std::string commands;
        size_t problems;
    };
    const Case cases[] = {
        {"OnActionPress>IniciaChuva:ShowMessage:Ol\xE1&", EventTrigger::ActionPress, "IniciaChuva: ShowMessage:Ol\xE1",
         0},
        {"OnPlayerTouch>PararChuva:IniciaNeve:PararNeve:IniciaTempestade:PararTempestade:", EventTrigger::PlayerTouch,
         "PararChuva: IniciaNeve: PararNeve: IniciaTempestade: PararTempestade:", 0},
        {"OnActionPress>;IniciaChuva:;\r\n ShowDialog:Face01.bmp|Oi; tudo bem?&;", EventTrigger::ActionPress,
         "IniciaChuva: ShowDialog:Face01.bmp|Oi; tudo bem?", 0},
        // texts are taken as stored: '|' stays in a dialogue's text; a face is trimmed
        {"OnActionPress>ShowDialog:|a|b&", EventTrigger::ActionPress, "ShowDialog:|a|b", 0},
        {"OnActionPress>ShowDialog: Rosto.bmp |x&", EventTrigger::ActionPress, "ShowDialog:Rosto.bmp|x", 0},
        {"OnActionPress>ShowMessage:&", EventTrigger::ActionPress, "ShowMessage:", 0},
        {"OnActionPress>ShowMessage:Sim: ou Nao:? FimSe:&", EventTrigger::ActionPress,
         "ShowMessage:Sim: ou Nao:? FimSe:", 0},
        {"OnActionPress>", EventTrigger::ActionPress, "", 0},
        {"NULL", EventTrigger::None, "", 0},
        {"", EventTrigger::None, "", 0},
        {"AddChar:Lena|2", EventTrigger::None, "AddChar:Lena|2", 0},
        {"AddChar: Lena ", EventTrigger::None, "AddChar:Lena|", 0},
        // broken texts lose only the broken command
        {"OnActionPress>Voar:alto;IniciaNeve:", EventTrigger::ActionPress, "IniciaNeve:", 1},
        {"OnActionPress>Voar:altoIniciaNeve:", EventTrigger::ActionPress, "IniciaNeve:", 1},
        {"OnActionPress>iniciachuva:PararChuva:", EventTrigger::ActionPress, "PararChuva:", 1},
        {"OnActionPress>IniciaChuva:ShowMessage:sem fim", EventTrigger::ActionPress, "IniciaChuva:", 1},
        {"OnActionPress>ShowDialog:sem barra&PararChuva:", EventTrigger::ActionPress,
         "!ShowDialog:sem barra PararChuva:", 1},
        {"OnActionPress>AddChar:Lena|2;ShowMessage:ok&", EventTrigger::ActionPress, "ShowMessage:ok", 1},
        {"OnActionPressShowMessage:x&", EventTrigger::None, "", 1},
        {"ShowMessage:x&", EventTrigger::None, "", 1},
    };
    for (const Case& c : cases) {
        const ParsedEvent p = ParseCellEvent(c.text);
        EXPECT_EQ(p.trigger, c.trigger) << c.text;
        EXPECT_EQ(shown(p.commands), c.commands) << c.text;
        EXPECT_EQ(p.problems.size(), c.problems) << c.text;
    }
    // What the editor classifies does not change.
    EXPECT_EQ(ParseCellEvent("AddChar:Lena|2").kind, EventKind::Object);
    EXPECT_EQ(ParseCellEvent("OnPlayerTouchX").kind, EventKind::Trigger);
}

TEST(EventGrammar, BrokenArgumentsAndBlocksAreKeptButMarkedAndNamed) {
    struct Case {
        const char* text;
        std::string commands;
        const char* problem;
    };
    const Case cases[] = {
        {"LigarInterruptor:101&GameOver:", "!LigarInterruptor:101 GameOver:", "não está entre 1 e 100"},
        {"LigarInterruptor:0&", "!LigarInterruptor:0", "não está entre 1 e 100"},
        {"SeInterruptor:3|Talvez&FimSe:", "!SeInterruptor:3|Talvez{}", "\"Ligado\" ou \"Desligado\""},
        {"MudarMapa:1|Caverna.xml&", "!MudarMapa:1|Caverna.xml", "espera coluna|linha|mapa e tem 2 argumentos"},
        {"MudarMapa:a|1|Caverna.xml&", "!MudarMapa:a|1|Caverna.xml", "a coluna \"a\""},
        {"MudarMapa:1|2|Cav|erna&", "!MudarMapa:1|2|Cav|erna", "espera"},
        {"IniciarBatalha:Fuga&", "!IniciarBatalha:Fuga", "espera"},
        {"IniciarBatalha:Fuga|A|B|C|D&", "!IniciarBatalha:Fuga|A|B|C|D", "espera"},
        {"IniciarBatalha:Correr|A&", "!IniciarBatalha:Correr|A", "\"Fuga\" ou \"SemFuga\""},
        {"MoverHeroi:CCX&", "!MoverHeroi:CCX", "o passo \"X\""},
        {"MultiplaEscolha:Qual?|S\xF3 uma&Opcao:FimQuestao:", "!MultiplaEscolha:Qual?|S\xF3 uma{}", "espera"},
        {"SeTemItem:0|Chave&FimSe:", "!SeTemItem:0|Chave{}", "a partir de 1"},
        // blocks: unclosed, marks out of place, answers missing
        {"SeDinheiro:5&GameOver:", "!SeDinheiro:5{GameOver:}", "bloco sem \"FimSe:\""},
        {"QuestaoObjetiva:Sim?&Sim:GameOver:", "!QuestaoObjetiva:Sim?{GameOver:}", "bloco sem \"FimQuestao:\""},
        {"QuestaoObjetiva:Ok?&Sim:FimQuestao:", "!QuestaoObjetiva:Ok?{}", "2 respostas e só 1 bloco"},
        {"FimSe:GameOver:", "GameOver:", "não há bloco aberto"},
        {"SeDinheiro:5&Nao:FimSe:", "SeDinheiro:5{}", "não é uma \"QuestaoObjetiva:\""},
        {"SeDinheiro:5&Senao:Senao:FimSe:", "SeDinheiro:5{}{}", "já tem \"Senao:\""},
        {"QuestaoObjetiva:Ok?&GameOver:Sim:Nao:FimQuestao:", "QuestaoObjetiva:Ok?{}{}", "antes da primeira resposta"},
        {"MultiplaEscolha:Q|a|b&Opcao:Opcao:Opcao:FimQuestao:", "MultiplaEscolha:Q|a|b{}{}", "mais \"Opcao:\""},
        {"DarDinheiro:10", "", "falta o \"&\""},
    };
    for (const Case& c : cases) {
        const ParsedEvent p = ParseScriptText(c.text);
        EXPECT_EQ(shown(p.commands), c.commands) << c.text;
        ASSERT_EQ(p.problems.size(), 1u) << c.text;
        EXPECT_NE(p.problems[0].message.find(c.problem), std::string::npos) << c.text << ": " << p.problems[0].message;
    }
}

TEST(EventGrammar, ProblemsNameWhereTheyAreInTheText) {
    const std::string text = "OnActionPress>GameOver:;LigarInterruptor:150&";
    const ParsedEvent p = ParseCellEvent(text);
    ASSERT_EQ(p.problems.size(), 1u);
    EXPECT_EQ(p.problems[0].offset, text.find("Ligar"));
    EXPECT_EQ(p.problems[0].command, "LigarInterruptor:150&");
    EXPECT_EQ(describeProblem(p.problems[0]),
              "comando \"LigarInterruptor:150&\": o interruptor \"150\" não está entre 1 e 100");
    EXPECT_EQ(p.commands[1].offset, text.find("Ligar"));

    // a block left open is named by its opening command
    const ParsedEvent open = ParseCellEvent("OnPlayerTouch>GameOver:SeDinheiro:5&GameOver:");
    ASSERT_EQ(open.problems.size(), 1u);
    EXPECT_EQ(open.problems[0].command, "SeDinheiro:5&");
    EXPECT_EQ(open.problems[0].offset, 23u);

    // a block opened before a question's first answer, left open at the end of
    // a text whose marker comes after blanks, is named by its own text (this
    // once read past the end of the text and threw)
    const std::string early = "          OnActionPress>QuestaoObjetiva:q&SeDinheiro:5&";
    const ParsedEvent e = ParseScriptText(early);
    ASSERT_FALSE(e.problems.empty());
    bool named = false;
    for (const EventProblem& pr : e.problems)
        if (pr.command == "SeDinheiro:5&" && pr.offset == early.find("SeDinheiro")) named = true;
    EXPECT_TRUE(named);
}

TEST(EventGrammar, CharacterScriptsPassOverTheirMarker) {
    for (const char* text : {"OnActionPress>GameOver:", " \r\nOnPlayerTouch>GameOver:", "GameOver:"}) {
        const ParsedEvent p = ParseScriptText(text);
        EXPECT_EQ(shown(p.commands), "GameOver:") << text;
        EXPECT_TRUE(p.problems.empty());
    }
}

TEST(EventGrammar, AHugeOrDeeplyNestedScriptReadsWithoutFailing) {
    std::string deep = "OnActionPress>";
    for (int i = 0; i < 20000; ++i) deep += "SeDinheiro:1&";
    const ParsedEvent p = ParseCellEvent(deep);
    EXPECT_EQ(p.commands.size(), 1u);
    EXPECT_EQ(p.problems.size(), 20000u);  // too deep, or without its end
    size_t depth = 0;
    for (const EventCommand* c = &p.commands[0]; !c->blocks.empty(); c = &c->blocks[0].commands[0]) ++depth;
    EXPECT_EQ(depth, kMaxBlockDepth);

    std::string junk = "OnActionPress>";
    for (int i = 0; i < 50000; ++i) junk += "x;";
    EXPECT_EQ(ParseCellEvent(junk).problems.size(), 50000u);
}

TEST(EventGrammar, ArgumentsThatWouldBreakTheTextAreRefused) {
    EXPECT_EQ(argumentProblem("Espada", true, false), "");
    EXPECT_EQ(argumentProblem("P\xE3o & Mel", true, false), "não pode conter \"&\"");
    EXPECT_EQ(argumentProblem("a|b", false, true), "não pode conter \"|\"");
    EXPECT_EQ(argumentProblem("a|b", true, false), "não pode conter \"|\"");
    EXPECT_EQ(argumentProblem("a|b", true, true), "");
}

TEST(EventGrammar, BlockStepsFollowTheInnermostOpenBlock) {
    auto step = [](const std::string& text, BlockStep s) { return BlockStepLine(text, s); };
    auto error = [](const std::string& text, BlockStep s) {
        try {
            BlockStepLine(text, s);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("(no error)");
    };
    const std::string se = "OnActionPress>;SeInterruptor:2|Ligado&;";
    EXPECT_EQ(step(se, BlockStep::Senao), "Senao:");
    EXPECT_EQ(step(se, BlockStep::FimSe), "FimSe:");
    EXPECT_NE(error(se + "Senao:", BlockStep::Senao).find("já tem"), std::string::npos);
    EXPECT_NE(error(se, BlockStep::ProximaResposta).find("Fim do Se"), std::string::npos);
    EXPECT_NE(error(se + "FimSe:", BlockStep::FimSe).find("Não há \"Se\" aberto"), std::string::npos);
    EXPECT_NE(error("", BlockStep::FimQuestao).find("Não há questão aberta"), std::string::npos);

    const std::string yesNo = "OnActionPress>QuestaoObjetiva:Ok?&Sim:";
    EXPECT_EQ(step(yesNo, BlockStep::ProximaResposta), "Nao:");
    EXPECT_NE(error(yesNo, BlockStep::FimQuestao).find("Falta o bloco de 1 resposta"), std::string::npos);
    EXPECT_EQ(step(yesNo + "Nao:", BlockStep::FimQuestao), "FimQuestao:");
    EXPECT_NE(error(yesNo + "Nao:", BlockStep::ProximaResposta).find("já têm"), std::string::npos);
    EXPECT_NE(error(yesNo, BlockStep::Senao).find("Fim da Questão"), std::string::npos);
    // a "Se" inside an answer is the innermost block
    EXPECT_EQ(step(yesNo + "SeDinheiro:3&", BlockStep::FimSe), "FimSe:");

    const std::string choice = "MultiplaEscolha:Q|a|b|c&Opcao:";
    EXPECT_EQ(step(choice, BlockStep::ProximaResposta), "Opcao:");
    EXPECT_EQ(step(choice + "Opcao:Opcao:", BlockStep::FimQuestao), "FimQuestao:");
    EXPECT_NE(error(choice + "Opcao:", BlockStep::FimQuestao).find("1 resposta"), std::string::npos);
}
