#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "TextBuffer.h"

TEST(TextBuffer, CopyAndAppendCutToTheBufferAndSayWhetherAllFitted)
{
    char buffer[6];
    EXPECT_TRUE(CopyText(buffer, sizeof buffer, "abcd") && CopyText(buffer, sizeof buffer, "abcde"));  // N-1, N
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_FALSE(CopyText(buffer, sizeof buffer, "abcdef"));  // N+1: cut
    EXPECT_STREQ(buffer, "abcde");

    CopyText(buffer, sizeof buffer, "ab");
    EXPECT_TRUE(AppendText(buffer, sizeof buffer, "cde"));
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, "f"));
    EXPECT_STREQ(buffer, "abcde");
}

TEST(TextBuffer, CaseChangesTouchOnlyAsciiLetters)
{
    char text[] = "aZ\xe4\xc4[`{@1";
    EXPECT_STREQ((UpperCaseAscii(text), text), "AZ\xe4\xc4[`{@1");
    EXPECT_STREQ((LowerCaseAscii(text), text), "az\xe4\xc4[`{@1");
    EXPECT_TRUE(EqualsNoCase("$SetupDir", "$SETUPDIR"));
    EXPECT_FALSE(EqualsNoCase("C", "Copy"));
    EXPECT_FALSE(EqualsNoCase("\xe4", "\xc4"));
}

TEST(TextBuffer, AtoiSaturatingConvertsLikeAtoiAndNeverOverflows)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"none", 0}, {" \t3", 3}, {"3 files", 3}, {"-1", -1}, {"+12", 12}, {"- 1", 0},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(AtoiSaturating(text), value) << text;
}
