#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "FileSource.h"
#include "TempDir.h"
#include "TextReader.h"

namespace {

using Lines = std::vector<std::string>;

// Every piece the reader gives, NUL bytes kept (the end is the LF or the last non-NUL).
Lines ReadAll(CTextReader& reader, size_t lineSize = 2048)
{
    Lines lines;
    for (std::string buffer(lineSize, '\0'); reader.ReadLine(buffer.data(), lineSize); buffer.assign(lineSize, '\0')) {
        const size_t end = buffer.find('\n');
        lines.push_back(buffer.substr(0, end != std::string::npos ? end + 1 : std::string(buffer.c_str()).size()));
    }
    return lines;
}

Lines ReadBytes(const std::string& bytes, size_t lineSize = 2048)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    return ReadAll(reader, lineSize);
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

TEST(TextReader, RewindAndAFileGiveTheSameLines)
{
    const std::string bytes = "[Setup]\r\nTitle=a\rb\r\nx\x1ay";
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    EXPECT_EQ(ReadAll(reader).size(), 3u);
    ASSERT_TRUE(reader.Rewind());
    EXPECT_EQ(ReadAll(reader), (Lines{"[Setup]\n", "Title=a\rb\n", "x"}));

    CTempDir dir;
    dir.Write("setup.inf", bytes);
    CFileSource file, missing;
    ASSERT_TRUE(file.Open(ToInstallerPath(dir.Native("setup.inf")).c_str()));
    CTextReader fileReader(file);
    EXPECT_EQ(ReadAll(fileReader), ReadBytes(bytes));
    EXPECT_FALSE(missing.Open(ToInstallerPath(dir.Native("missing.inf")).c_str()));
    EXPECT_FALSE(missing.Rewind());
}
