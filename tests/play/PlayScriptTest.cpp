// How the game reads event texts: markers, commands in order, line marks, and
// broken texts that lose only their broken command.
#include "play/model/PlayScript.h"

#include <gtest/gtest.h>

using namespace quillmark::play;

namespace {

// A script as one line per command: "IniciaChuva:", "Message:text", "Dialog:face|text".
std::vector<std::string> shown(const Script& s) {
    std::vector<std::string> out;
    for (const Command& c : s.commands) {
        switch (c.kind) {
        case CommandKind::ShowMessage:
            out.push_back("Message:" + c.args.at(0));
            break;
        case CommandKind::ShowDialog:
            out.push_back("Dialog:" + c.args.at(0) + "|" + c.args.at(1));
            break;
        default:
            out.push_back(std::string(keywordOf(c.kind)));
        }
    }
    return out;
}

}  // namespace

TEST(PlayScript, ReadsTheMarkerAndTheCommandsInOrder) {
    struct Case {
        const char* text;
        Trigger trigger;
        std::vector<std::string> commands;
    };
    const Case cases[] = {
        {"OnActionPress>IniciaChuva:ShowMessage:Olá&", Trigger::ActionPress, {"IniciaChuva:", "Message:Olá"}},
        {"OnPlayerTouch>PararChuva:IniciaNeve:PararNeve:IniciaTempestade:PararTempestade:",
         Trigger::PlayerTouch,
         {"PararChuva:", "IniciaNeve:", "PararNeve:", "IniciaTempestade:", "PararTempestade:"}},
        // the editor's line marks and blanks between commands
        {"OnActionPress>;IniciaChuva:;\r\n ShowDialog:Face01.bmp|Oi; tudo bem?&;",
         Trigger::ActionPress,
         {"IniciaChuva:", "Dialog:Face01.bmp|Oi; tudo bem?"}},
        // texts are taken as stored: a '|' in a dialogue's text stays in it
        {"OnActionPress>ShowDialog:|a|b&", Trigger::ActionPress, {"Dialog:|a|b"}},
        {"OnActionPress>ShowDialog: Rosto.bmp |x&", Trigger::ActionPress, {"Dialog:Rosto.bmp|x"}},
        {"OnActionPress>ShowMessage:&", Trigger::ActionPress, {"Message:"}},
        {"OnActionPress>", Trigger::ActionPress, {}},
        // not a trigger event: nothing runs
        {"NULL", Trigger::None, {}},
        {"", Trigger::None, {}},
        {"AddChar:Lena|2", Trigger::None, {}},
        {"OnActionPressShowMessage:x&", Trigger::None, {}},
        {"ShowMessage:x&", Trigger::None, {}},
    };
    for (const Case& c : cases) {
        const Script s = parseCellEvent(c.text);
        EXPECT_EQ(s.trigger, c.trigger) << c.text;
        EXPECT_EQ(shown(s), c.commands) << c.text;
        EXPECT_TRUE(s.problems.empty()) << c.text;
    }
}

TEST(PlayScript, ABrokenCommandIsSkippedAndReadingGoesOn) {
    struct Case {
        const char* text;
        std::vector<std::string> commands;
        const char* problem;
    };
    const Case cases[] = {
        {"OnActionPress>Voar:alto;IniciaNeve:", {"IniciaNeve:"}, "\"Voar:alto;\": comando desconhecido"},
        {"OnActionPress>Voar:altoIniciaNeve:", {"IniciaNeve:"}, "\"Voar:alto\": comando desconhecido"},
        {"OnActionPress>iniciachuva:PararChuva:", {"PararChuva:"}, "\"iniciachuva:\": comando desconhecido"},
        {"OnActionPress>IniciaChuva:ShowMessage:sem fim", {"IniciaChuva:"}, "falta o \"&\" que fecha o comando"},
        {"OnActionPress>AddChar:Lena|2;ShowMessage:ok&", {"Message:ok"}, "só pode estar sozinho numa célula"},
    };
    for (const Case& c : cases) {
        const Script s = parseCellEvent(c.text);
        EXPECT_EQ(shown(s), c.commands) << c.text;
        ASSERT_EQ(s.problems.size(), 1u) << c.text;
        EXPECT_NE(s.problems[0].find(c.problem), std::string::npos) << s.problems[0];
    }
}

TEST(PlayScript, ADialogueWithoutItsBarIsKeptBrokenSoTheGameSkipsIt) {
    const Script s = parseCellEvent("OnActionPress>ShowDialog:sem barra&PararChuva:");
    ASSERT_EQ(s.commands.size(), 2u);
    EXPECT_FALSE(s.commands[0].ok);
    EXPECT_TRUE(s.commands[1].ok);
    ASSERT_EQ(s.problems.size(), 1u);
    EXPECT_NE(s.problems[0].find("espera face|texto e tem 1 argumento"), std::string::npos) << s.problems[0];
}

TEST(PlayScript, ACharacterScriptRunsWhateverItsMarker) {
    // "Evento.dat" lines joined as the editor stores them.
    for (const char* text : {"OnActionPress>ShowMessage:Oi&", "OnPlayerTouch>ShowMessage:Oi&", "ShowMessage:Oi&",
                             "\r\nOnActionPress>;ShowMessage:Oi&"}) {
        const Script s = parseCharacterScript(text);
        EXPECT_EQ(s.trigger, Trigger::Character);
        EXPECT_EQ(shown(s), std::vector<std::string>{"Message:Oi"}) << text;
    }
    EXPECT_TRUE(parseCharacterScript("").commands.empty());
}

TEST(PlayScript, SpeedIsStepsPerTenSecondsAndAnythingUnreadableStandsStill) {
    EXPECT_EQ(characterSpeed("2"), 2);
    EXPECT_EQ(characterSpeed(" 12 "), 12);
    EXPECT_EQ(characterSpeed("0"), 0);
    EXPECT_EQ(characterSpeed(""), 0);
    EXPECT_EQ(characterSpeed("rápido"), 0);
    EXPECT_EQ(characterSpeed("1.5"), 0);
    EXPECT_EQ(characterSpeed("-3"), 0);
    EXPECT_EQ(characterSpeed("500"), kMaxSpeed);
}

TEST(PlayScript, ManyUnknownWordsAreEachReportedOnceAndTheCommandsAfterThemStillRead) {
    // every unknown word ends at its line mark; the keyword far behind them is found
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "Palavra" + std::to_string(i) + ";";
    text += "IniciaChuva:ShowMessage:fim&";
    Script s;
    parseCommands(text, s);
    EXPECT_EQ(s.problems.size(), 20000u);
    EXPECT_EQ(s.problems.front(), "comando \"Palavra0;\": comando desconhecido; ignorado");
    EXPECT_EQ(shown(s), (std::vector<std::string>{"IniciaChuva:", "Message:fim"}));
}

TEST(PlayScript, ALongBrokenTextIsCutWithAnEllipsisInUtf8) {
    Script s;
    parseCommands("ShowMessage:" + std::string(60, 'a') + "\xE9", s);  // no "&", an "é" in CP1252
    ASSERT_EQ(s.problems.size(), 1u);
    const std::string& p = s.problems.front();
    EXPECT_NE(p.find(std::string(20, 'a') + "…\""), std::string::npos) << p;
    EXPECT_EQ(p.find("\xC3\xA2\xE2\x82\xAC"), std::string::npos) << p;  // not "â€" from a doubly converted "…"
}

TEST(PlayScript, ABattleNamesItsMonstersAndWhetherTheHeroMayFlee) {
    const Script s = parseCellEvent("OnPlayerTouch>IniciarBatalha:SemFuga|Slime| Lobo &IniciarBatalha:Fuga|Golem&"
                                    "IniciarBatalha:Fuga&");
    ASSERT_EQ(s.commands.size(), 3u);
    EXPECT_EQ(s.commands[0].kind, CommandKind::IniciarBatalha);
    EXPECT_EQ(s.commands[0].args, (std::vector<std::string>{"SemFuga", "Slime", "Lobo"}));
    EXPECT_EQ(s.commands[1].args, (std::vector<std::string>{"Fuga", "Golem"}));
    EXPECT_FALSE(s.commands[2].ok);    // a battle without monsters is skipped
    ASSERT_EQ(s.problems.size(), 1u);  // and told
    EXPECT_NE(s.problems[0].find("IniciarBatalha:Fuga&"), std::string::npos) << s.problems[0];
}
