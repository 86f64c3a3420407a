// The rules of resumed and retried downloads: the record kept beside a partial file, the
// request for the rest, what an answer means, the retry pauses.
#include "net/resume_rules.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(PartRecord, SurvivesItsTextAndRefusesAnyOther) {
    for (const PartRecord& record :
         {PartRecord{"\"abc-1\"", 100000}, PartRecord{"Wed, 09 Dec 2026 06:00:00 GMT", -1}})
        EXPECT_EQ(ParsePartRecord(FormatPartRecord(record)), record) << record.validator;
    for (const char* text : {"", "part 1\n100\n", "part 1\n100\n\n", "part 2\n100\n\"a\"\n",
                             "part 1\nx\n\"a\"\n", "part 1\n100\n\"a\"", "part 1\n100\n\"a\"\nb\n"})
        EXPECT_FALSE(ParsePartRecord(text)) << text;
}

TEST(ChooseValidator, StrongEtagElseLastModified) {
    EXPECT_EQ(ChooseValidator("\"v1\"", "Mon"), "\"v1\"");
    EXPECT_EQ(ChooseValidator("W/\"v1\"", "Mon"), "Mon");
    EXPECT_EQ(ChooseValidator("", "Mon"), "Mon");
    EXPECT_EQ(ChooseValidator("", ""), "");
}

TEST(ResumeRequestHeaders, OnlyWithSomethingToResume) {
    EXPECT_EQ(ResumeRequestHeaders(30000, "\"v1\""), "Range: bytes=30000-\r\nIf-Range: \"v1\"\r\n");
    EXPECT_EQ(ResumeRequestHeaders(0, "\"v1\""), "");
    EXPECT_EQ(ResumeRequestHeaders(30000, ""), "") << "no range without a validator";
}

TEST(ParseContentRange, WellFormedOnly) {
    const auto range = ParseContentRange("bytes 30000-99999/100000");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->first, 30000);
    EXPECT_EQ(range->last, 99999);
    EXPECT_EQ(range->total, 100000);
    EXPECT_EQ(ParseContentRange("bytes 0-9/*")->total, -1);
    for (const char* text : {"", "bytes */100", "items 0-9/10", "bytes 9-0/10", "bytes 0-9/9",
                             "bytes 0-9", "bytes -5-9/10"})
        EXPECT_FALSE(ParseContentRange(text)) << text;
}

TEST(ClassifyResumeAnswer, AppendsOnlyTheRestOfTheSameVersion) {
    const auto rest = ParseContentRange("bytes 30000-99999/100000");
    const auto other = ParseContentRange("bytes 20000-99999/100000");
    const struct {
        const char* name;
        std::uint32_t status;
        std::int64_t offset;
        std::optional<ContentRange> range;
        const char* answerValidator;
        ResumeAnswer expected;
    } cases[] = {
        {"rest", 206, 30000, rest, "\"v1\"", ResumeAnswer::Append},
        {"rest without validator", 206, 30000, rest, "", ResumeAnswer::Append},
        {"whole file", 200, 30000, std::nullopt, "\"v1\"", ResumeAnswer::Whole},
        {"fresh download", 200, 0, std::nullopt, "\"v1\"", ResumeAnswer::Whole},
        {"changed validator", 206, 30000, rest, "\"v2\"", ResumeAnswer::AskAgain},
        {"other start", 206, 30000, other, "\"v1\"", ResumeAnswer::AskAgain},
        {"no content range", 206, 30000, std::nullopt, "\"v1\"", ResumeAnswer::AskAgain},
        {"part never asked for", 206, 0, rest, "\"v1\"", ResumeAnswer::AskAgain},
        {"range not satisfiable", 416, 30000, std::nullopt, "", ResumeAnswer::AskAgain},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyResumeAnswer(c.status, c.offset, c.range, "\"v1\"", c.answerValidator),
                  c.expected)
            << c.name;
}

TEST(RetryRules, BusyAndGatewayTimeoutOnlyAndDoublingPauses) {
    for (std::uint32_t status : {400u, 403u, 404u, 416u, 500u, 501u, 502u})
        EXPECT_FALSE(IsRetryableStatus(status)) << status;
    EXPECT_TRUE(IsRetryableStatus(503));
    EXPECT_TRUE(IsRetryableStatus(504));
    EXPECT_EQ(RetryDelayMs(1, 1000), 1000u);
    EXPECT_EQ(RetryDelayMs(2, 1000), 2000u);
    EXPECT_EQ(RetryDelayMs(3, 1000), 4000u);
}

} // namespace
} // namespace ks
