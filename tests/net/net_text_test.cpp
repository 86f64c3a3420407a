// The text rules of the transfer module: Content-Length values, error texts, response lines.
#include "net/net_utils.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(ContentLengthValue, DecimalThirtyTwoBitOnly) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {{"2500", 2500},
                 {"0", 0},
                 {"999999999", 999999999},
                 {"2147483647", INT32_MAX},
                 {"2147483648", 0},
                 {"-5", -5},
                 {"+7", 7},
                 {"", 0},
                 {"-", 0},
                 {"12ab", 0},
                 {"0x10", 0},
                 {"$10", 0},
                 {" 5", 0},
                 {"99999999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ContentLengthValue(c.text), c.value) << "\"" << c.text << "\"";
}

TEST(TrimErrorText, DropsTrailingBlanksControlsAndFullStops) {
    EXPECT_EQ(TrimErrorText("The server name could not be resolved.\r\n"),
              "The server name could not be resolved");
    EXPECT_EQ(TrimErrorText("Done . . \t"), "Done");
    EXPECT_EQ(TrimErrorText("v1.2 ok"), "v1.2 ok");
    EXPECT_EQ(TrimErrorText(" .\r\n"), "");
    EXPECT_EQ(TrimErrorText(""), "");
}

TEST(FormatInternetError, NumberAsSignedDecimal) {
    EXPECT_EQ(FormatInternetError(12007, "Name not resolved"),
              "Internet Error 12007 : Name not resolved");
    EXPECT_EQ(FormatInternetError(0xFFFFFFFFu, ""), "Internet Error -1 : ");
    EXPECT_EQ(FormatHttpStatusError(404, "Not Found"), "HTTP Error 404 : Not Found");
}

TEST(SplitResponseLines, EveryLineEndKind) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitResponseLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitResponseLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitResponseLines("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitResponseLines("\r\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitResponseLines(""), Lines{});
    EXPECT_EQ(SplitResponseLines(std::string("x\0y", 3)), (Lines{std::string("x\0y", 3)}));
}

} // namespace
} // namespace ks
