#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "TextReader.h"

namespace {

using Lines = std::vector<std::string>;

// Every piece the reader gives, NUL bytes kept (the end is the LF or the last non-NUL).
Lines ReadBytes(const std::string& bytes, size_t lineSize)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    Lines lines;
    for (std::string buffer(lineSize, '\0'); reader.ReadLine(buffer.data(), lineSize); buffer.assign(lineSize, '\0')) {
        const size_t end = buffer.find('\n');
        lines.push_back(buffer.substr(0, end != std::string::npos ? end + 1 : std::string(buffer.c_str()).size()));
    }
    return lines;
}

}  // namespace

TEST(TextReader, WindowsTextModeLineEndsCtrlZPiecesAndNulBytes)
{
    const std::pair<std::string, Lines> cases[] = {
        {"a\r\nb\nc", {"a\n", "b\n", "c"}}, {"a\rb\r\n", {"a\rb\n"}}, {"a\r\r\nb", {"a\r\n", "b"}},
        {"end\r", {"end\r"}}, {"", {}}, {"a\nb\x1a" "c\nd\n", {"a\n", "b"}}, {"\x1a" "a\n", {}},
        {"a\r\x1a\n", {"a\r"}}, {std::string("a\0b\nc\n", 6), {std::string("a\0b\n", 4), "c\n"}},
        // CR LF across the reader's 4096-byte fill is one line end.
        {std::string(4095, 'x') + "\r\ny\n", {std::string(4095, 'x') + "\n", "y\n"}}};
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(ReadBytes(bytes, 8192), lines) << bytes.substr(0, 20);
    // Long lines come in pieces of the buffer size less one; CR LF across a piece is one LF.
    EXPECT_EQ(ReadBytes("abcdefg\n", 4), (Lines{"abc", "def", "g\n"}));
    EXPECT_EQ(ReadBytes("abc\r\nd", 4), (Lines{"abc", "\n", "d"}));
}
