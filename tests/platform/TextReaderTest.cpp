#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "FileSource.h"
#include "TempDir.h"
#include "TextReader.h"

namespace {

std::vector<std::string> ReadAll(CTextReader& reader, size_t lineSize = 2048)
{
    std::vector<std::string> lines;
    std::vector<char> buffer(lineSize);
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        if (!reader.ReadLine(buffer.data(), buffer.size()))
            break;
        // Keep NUL bytes: find the line's real end from the LF or the size used.
        std::string line(buffer.data(), buffer.size());
        size_t end = line.find('\n');
        line.resize(end != std::string::npos ? end + 1 : std::string(buffer.data()).size());
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ReadBytes(const std::string& bytes, size_t lineSize = 2048)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    return ReadAll(reader, lineSize);
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(TextReader, GivesWindowsTextModeLineEnds)
{
    EXPECT_EQ(ReadBytes("a\r\nb\nc"), (Lines{"a\n", "b\n", "c"}));
    EXPECT_EQ(ReadBytes("a\rb\r\n"), (Lines{"a\rb\n"}));
    EXPECT_EQ(ReadBytes("a\r\r\nb"), (Lines{"a\r\n", "b"}));
    EXPECT_EQ(ReadBytes("end\r"), (Lines{"end\r"}));
    EXPECT_EQ(ReadBytes(""), Lines{});
}

TEST(TextReader, CtrlZEndsTheText)
{
    EXPECT_EQ(ReadBytes("a\nb\x1a" "c\nd\n"), (Lines{"a\n", "b"}));
    EXPECT_EQ(ReadBytes("\x1a" "a\n"), Lines{});
    EXPECT_EQ(ReadBytes("a\r\x1a\n"), (Lines{"a\r"}));
}

TEST(TextReader, SplitsLongLinesIntoPiecesOfTheBufferSizeLessOne)
{
    EXPECT_EQ(ReadBytes("abcdefg\n", 4), (Lines{"abc", "def", "g\n"}));
    EXPECT_EQ(ReadBytes("abc\n", 4), (Lines{"abc", "\n"}));
    // A CR LF pair that straddles a piece boundary still counts as one LF.
    EXPECT_EQ(ReadBytes("abc\r\nd", 4), (Lines{"abc", "\n", "d"}));
}

TEST(TextReader, KeepsNulBytesInsideALine)
{
    Lines lines = ReadBytes(std::string("a\0b\nc\n", 6));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string("a\0b\n", 4));
}

TEST(TextReader, CrLfAcrossTheInternalBufferBoundaryIsOneLineEnd)
{
    // The reader fills 4096 bytes at a time; put the CR last in the first fill.
    std::string bytes(4095, 'x');
    bytes += "\r\ny\n";
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    Lines lines = ReadAll(reader, 8192);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(4095, 'x') + "\n");
    EXPECT_EQ(lines[1], "y\n");
}

TEST(TextReader, RewindStartsOverAfterTheEnd)
{
    std::string bytes = "one\ntwo\x1a" "three";
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    EXPECT_EQ(ReadAll(reader).size(), 2u);
    ASSERT_TRUE(reader.Rewind());
    EXPECT_EQ(ReadAll(reader), (Lines{"one\n", "two"}));
}

TEST(TextReader, AFileGivesTheSameLinesAsTheSameBytesInMemory)
{
    CTempDir dir;
    std::string bytes = "[Setup]\r\nTitle=a\rb\r\nx\x1ay";
    dir.Write("setup.inf", bytes);
    CFileSource file;
    ASSERT_TRUE(file.Open(ToInstallerPath(dir.Native("setup.inf")).c_str()));
    CTextReader reader(file);
    EXPECT_EQ(ReadAll(reader), ReadBytes(bytes));

    CFileSource missing;
    EXPECT_FALSE(missing.Open(ToInstallerPath(dir.Native("missing.inf")).c_str()));
    EXPECT_FALSE(missing.Rewind());
}
