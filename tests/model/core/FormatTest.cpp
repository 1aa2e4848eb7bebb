// The format rules every reader shares.
#include "model/core/Format.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/ProjectFile.h"

#include <gtest/gtest.h>

using namespace quillmark;

TEST(Format, OneIntegerRuleForEveryReader) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"42", 42},
                 {" \t-7\t ", -7},
                 {"+5", 5},
                 {"+-5", std::nullopt},
                 {"", {}},
                 {"  ", {}},
                 {"1e3", {}},
                 {"0x10", {}},
                 {"12abc", {}},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1},
                 {"2147483648", {}},
                 {"- 5", {}}};
    for (const Case& c : cases) EXPECT_EQ(format::toInteger(c.text), c.value) << c.text;
    EXPECT_THROW(format::parseInteger("+-5"), Error);

    // The project file and a data packet agree on "+-5".
    EXPECT_THROW(parseIntegerValue("+-5"), Error);
    const std::string packet = "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                               "<FIELD attrname=\"N\" fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA>"
                               "<ROWDATA><ROW N=\"+-5\"/></ROWDATA></DATAPACKET>";
    EXPECT_THROW(datapacket::parse(packet, "t.xml"), Error);
}

TEST(Format, LinesOfTextFilesAndOfScripts) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(format::textLines("a\r\nb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(format::textLines("a\r\n"), (V{"a"}));
    EXPECT_EQ(format::textLines("a\rb\n"), (V{"a\rb"}));  // a lone CR is no line break here
    EXPECT_EQ(format::textLines(""), V{});
    EXPECT_EQ(format::anyBreakLines("a\rb\nc\r\nd", false), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(format::anyBreakLines("a\r\n", false), (V{"a"}));
    EXPECT_EQ(format::anyBreakLines("a\r\n", true), (V{"a", ""}));
    EXPECT_EQ(format::anyBreakLines("", true), V{""});
}

TEST(Format, EventTexts) {
    EXPECT_TRUE(format::isNoEvent(""));
    EXPECT_TRUE(format::isNoEvent("NULL"));
    EXPECT_FALSE(format::isNoEvent("null"));
    EXPECT_FALSE(format::isNoEvent("OnActionPress>"));
    EXPECT_TRUE(format::isAddChar("AddChar:Lena|2"));
    EXPECT_TRUE(format::isAddChar("AddChar"));
    EXPECT_FALSE(format::isAddChar("AddCha"));
    EXPECT_FALSE(format::isAddChar("addchar:x"));
}
