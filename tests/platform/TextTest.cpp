// The ASCII case rules and the saturating atoi. The bounded copies are shown by every field's limit in
// LoadTest.cpp, the text-mode reader by the key lookup in KeyLookupTest.cpp.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "TextBuffer.h"

TEST(TextBuffer, CaseChangesTouchEveryAsciiLetterAndNoOtherByte)
{
    const std::string lower = "abcdefghijklmnopqrstuvwxyz", upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string all, upperAll, lowerAll;  // every byte but NUL, and what each case change makes of it
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        all += c;
        upperAll += lower.find(c) != std::string::npos ? upper[lower.find(c)] : c;
        lowerAll += upper.find(c) != std::string::npos ? lower[upper.find(c)] : c;
    }
    std::string text = all;
    UpperCaseAscii(text.data());
    EXPECT_EQ(text, upperAll);
    text = all;
    LowerCaseAscii(text.data());
    EXPECT_EQ(text, lowerAll);
    EXPECT_TRUE(EqualsNoCase(lower.c_str(), upper.c_str()) && EqualsNoCase("$SetupDir", "$SETUPDIR"));
    EXPECT_FALSE(EqualsNoCase("C", "Copy") || EqualsNoCase("Copy", "C") || EqualsNoCase("\xe4", "\xc4"));
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
