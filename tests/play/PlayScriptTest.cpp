// How the game reads event texts: markers, commands in order, line marks, and
// broken texts that lose only their broken command.
#include "play/model/PlayScript.h"

#include <gtest/gtest.h>

using namespace quillmark::play;

namespace {

// A script as one line per command: "RainOn", "Message:text", "Dialog:face|text".
std::vector<std::string> shown(const Script& s) {
    std::vector<std::string> out;
    for (const Command& c : s.commands) {
        switch (c.kind) {
        case CommandKind::Message:
            out.push_back("Message:" + c.text);
            break;
        case CommandKind::Dialog:
            out.push_back("Dialog:" + c.face + "|" + c.text);
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
        {"OnActionPress>Voar:alto;IniciaNeve:", {"IniciaNeve:"}, "comando desconhecido ignorado: \"Voar:alto;\""},
        {"OnActionPress>Voar:altoIniciaNeve:", {"IniciaNeve:"}, "comando desconhecido ignorado: \"Voar:alto\""},
        {"OnActionPress>iniciachuva:PararChuva:", {"PararChuva:"}, "comando desconhecido ignorado: \"iniciachuva:\""},
        {"OnActionPress>IniciaChuva:ShowMessage:sem fim", {"IniciaChuva:"}, "ShowMessage: sem o \"&\" final"},
        {"OnActionPress>ShowDialog:sem barra&PararChuva:", {"PararChuva:"}, "ShowDialog: sem o \"|\""},
        {"OnActionPress>AddChar:Lena|2;ShowMessage:ok&", {"Message:ok"}, "só pode estar sozinho numa célula"},
    };
    for (const Case& c : cases) {
        const Script s = parseCellEvent(c.text);
        EXPECT_EQ(shown(s), c.commands) << c.text;
        ASSERT_EQ(s.problems.size(), 1u) << c.text;
        EXPECT_NE(s.problems[0].find(c.problem), std::string::npos) << s.problems[0];
    }
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
    EXPECT_EQ(s.problems.front(), "comando desconhecido ignorado: \"Palavra0;\"");
    EXPECT_EQ(shown(s), (std::vector<std::string>{"IniciaChuva:", "Message:fim"}));
}

TEST(PlayScript, ALongBrokenTextIsCutWithAnEllipsisInUtf8) {
    Script s;
    parseCommands("ShowMessage:" + std::string(60, 'a') + "\xE9", s);  // no "&", an "é" in CP1252
    ASSERT_EQ(s.problems.size(), 1u);
    const std::string& p = s.problems.front();
    EXPECT_NE(p.find(std::string(40, 'a') + "…\""), std::string::npos) << p;
    EXPECT_EQ(p.find("\xC3\xA2\xE2\x82\xAC"), std::string::npos) << p;  // not "â€" from a doubly converted "…"
}
