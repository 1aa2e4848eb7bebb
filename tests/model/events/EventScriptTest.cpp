#include "model/events/EventScript.h"
#include "TempDir.h"
#include "model/core/Error.h"

#include <gtest/gtest.h>

using namespace quillmark;
using Lines = std::vector<std::string>;

TEST(EventSplit, BreaksAfterEveryLineMarkAndFlattensBack) {
    struct Case {
        std::string stored;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"", {""}},
        {"OnActionPress>IniciaChuva:", {"OnActionPress>IniciaChuva:"}},
        {"OnActionPress>;IniciaChuva:;", {"OnActionPress>;", "IniciaChuva:;", ""}},
        {"a;b", {"a;", "b"}},
        {";", {";", ""}},
        {";;x", {";", ";", "x"}},
        {"ShowMessage:Ol\xE1 mundo&", {"ShowMessage:Ol\xE1 mundo&"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitEventText(c.stored), c.lines) << c.stored;
        EXPECT_EQ(FlattenEventText(SplitEventText(c.stored)), c.stored) << c.stored;
    }
}

TEST(EventSplit, FlattenRemovesOnlyCrLfPairs) {
    // A message typed on two lines runs together, with nothing between them.
    Lines lines = {"OnActionPress>", "IniciaChuva:"};
    AppendCommandLines(lines, ShowMessageCommand("Bem-vindo\r\n\xE0 vila"));
    EXPECT_EQ(lines, (Lines{"OnActionPress>", "IniciaChuva:", "ShowMessage:Bem-vindo", "\xE0 vila&"}));
    EXPECT_EQ(FlattenEventText(lines), "OnActionPress>IniciaChuva:ShowMessage:Bem-vindo\xE0 vila&");
    // Lone CR or LF characters inside a line are kept; a CR ending the last
    // line is kept too, because no LF follows it once its own break is gone.
    EXPECT_EQ(FlattenEventText({"a\nb", "c\r"}), "a\nbc\r");
    EXPECT_EQ(RemoveCrLf("x\r\ny\r\r\nz\n\r"), "xy\rz\n\r");
    EXPECT_EQ(FlattenEventText({}), "");
}

TEST(EventSplit, AppendedCommandsSplitOnEveryKindOfLineBreak) {
    Lines lines;
    AppendCommandLines(lines, "a\nb\rc\r\nd");
    EXPECT_EQ(lines, (Lines{"a", "b", "c", "d"}));
}

TEST(EventClose, MarkerAloneStoresNoEvent) {
    EXPECT_EQ(CloseEventText({"OnPlayerTouch>", "", "  "}), "");
    EXPECT_EQ(CloseEventText({"  OnActionPress> \t"}), "");
    EXPECT_EQ(CloseEventText({"", "OnActionPress>"}), "");
    EXPECT_TRUE(IsEmptyTrigger("\r\nOnPlayerTouch>\r\n\r\n"));
    // A marker with a command, or with something else, stays.
    EXPECT_EQ(CloseEventText({"OnPlayerTouch>", "PararNeve:"}), "OnPlayerTouch>PararNeve:");
    EXPECT_EQ(CloseEventText({"OnPlayerTouch>;"}), "OnPlayerTouch>;");
    EXPECT_FALSE(IsEmptyTrigger("onplayertouch>"));
    EXPECT_FALSE(IsEmptyTrigger("OnPlayerTouch"));
    EXPECT_EQ(CloseEventText({}), "");
}

TEST(EventClassify, NoEventTriggerAndObject) {
    EXPECT_EQ(ClassifyEvent("NULL"), EventKind::None);
    EXPECT_EQ(ClassifyEvent(""), EventKind::None);
    EXPECT_EQ(ClassifyEvent("OnActionPress>IniciaChuva:"), EventKind::Trigger);
    EXPECT_EQ(ClassifyEvent("OnPlayerTouch>"), EventKind::Trigger);
    EXPECT_EQ(ClassifyEvent("OnPlayerTouch"), EventKind::Trigger);  // 13 characters are enough
    EXPECT_EQ(ClassifyEvent("OnPlayerTouc"), EventKind::Object);
    EXPECT_EQ(ClassifyEvent("AddChar:Velho|3"), EventKind::Object);
    EXPECT_EQ(ClassifyEvent("IniciaChuva:"), EventKind::Object);  // a command without a marker
    EXPECT_EQ(ClassifyEvent("null"), EventKind::Object);
    EXPECT_EQ(ClassifyEvent("onactionpress>"), EventKind::Object);

    EXPECT_EQ(CellEventMark("AddChar:Velho|3"), CellMark::Character);
    EXPECT_EQ(CellEventMark("AddChar"), CellMark::Character);
    EXPECT_EQ(CellEventMark("OnActionPress>"), CellMark::Event);
    EXPECT_EQ(CellEventMark("NULL"), CellMark::None);
    EXPECT_EQ(CellEventMark(""), CellMark::None);
}

TEST(EventCommands, TextsAsTheRuntimeReadsThem) {
    EXPECT_EQ(IniciaChuvaCommand(), "IniciaChuva:");
    EXPECT_EQ(PararChuvaCommand(), "PararChuva:");
    EXPECT_EQ(IniciaNeveCommand(), "IniciaNeve:");
    EXPECT_EQ(PararNeveCommand(), "PararNeve:");
    EXPECT_EQ(IniciaTempestadeCommand(), "IniciaTempestade:");
    EXPECT_EQ(PararTempestadeCommand(), "PararTempestade:");
    EXPECT_EQ(ShowMessageCommand("Ol\xE1 & adeus|"), "ShowMessage:Ol\xE1 & adeus|&");
    EXPECT_EQ(ShowDialogCommand("Rei.bmp", "Bem-vindo"), "ShowDialog:Rei.bmp|Bem-vindo&");
    EXPECT_EQ(ShowDialogCommand("", "Oi"), "ShowDialog:|Oi&");
    EXPECT_EQ(AddCharCommand("Velho", "3"), "AddChar:Velho|3");
    EXPECT_EQ(AddCharCommand("Velho", ""), "AddChar:Velho|");
    ASSERT_EQ(std::size(kWeatherCommands), 6u);
    EXPECT_STREQ(kWeatherCommands[0].menuEntry, "Inciar Chuva");
    EXPECT_EQ(kWeatherCommands[5].keyword, "PararTempestade:");
}

TEST(EventAddChar, NameAndSpeed) {
    AddCharArgs a = ParseAddChar("AddChar:Velho|3");
    EXPECT_TRUE(a.isObject);
    EXPECT_EQ(a.name, "Velho");
    EXPECT_EQ(a.speed, "3");

    a = ParseAddChar("AddChar:Velho|");
    EXPECT_EQ(a.name, "Velho");
    EXPECT_EQ(a.speed, "");

    a = ParseAddChar("AddChar:  Jo\xE3o \r\n|\t 12 \r\n");
    EXPECT_EQ(a.name, "Jo\xE3o");
    EXPECT_EQ(a.speed, "12");

    // The first '|' ends the name; later ones belong to the speed.
    a = ParseAddChar("AddChar:A|b|c");
    EXPECT_EQ(a.name, "A");
    EXPECT_EQ(a.speed, "b|c");

    // The 8th character is skipped whatever it is; without '|' all is name.
    a = ParseAddChar("AddCharXNome");
    EXPECT_TRUE(a.isObject);
    EXPECT_EQ(a.name, "Nome");
    EXPECT_EQ(a.speed, "");

    a = ParseAddChar("AddChar");
    EXPECT_TRUE(a.isObject);
    EXPECT_EQ(a.name, "");

    a = ParseAddChar("OnActionPress>AddChar:X|1");
    EXPECT_FALSE(a.isObject);
    EXPECT_EQ(a.name, "");
    EXPECT_EQ(a.speed, "");

    // What the character dialog writes reads back the same.
    a = ParseAddChar(AddCharCommand("Guarda", "2"));
    EXPECT_EQ(a.name, "Guarda");
    EXPECT_EQ(a.speed, "2");
}

TEST(EventScriptFile, LinesWithCrLfAndBack) {
    qmtest::TempDir dir;
    const Lines lines = {"OnActionPress>;", "ShowMessage:Ol\xE1&;", ""};
    EXPECT_EQ(ScriptFileBytes(lines), QByteArray("OnActionPress>;\r\nShowMessage:Ol\xE1&;\r\n\r\n"));
    saveScriptFile(dir.file("a.qms"), lines);
    EXPECT_EQ(loadScriptFile(dir.file("a.qms")), lines);
    EXPECT_EQ(ScriptFileLines("a\nb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(ScriptFileLines(""), Lines{});
    EXPECT_THROW(loadScriptFile(dir.file("missing.qms")), Error);
}

TEST(ScriptFiles, EmptyLinesAtTheEndSurviveReadingAndWriting) {
    for (const QByteArray& bytes :
         {QByteArray("A\r\n\r\n"), QByteArray("\r\n\r\n\r\n"), QByteArray("A\r\n\r\nB\r\n\r\n")})
        EXPECT_EQ(ScriptFileBytes(ScriptFileLines(bytes)), bytes) << bytes.toStdString();
}
