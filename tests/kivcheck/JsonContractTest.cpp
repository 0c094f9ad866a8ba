#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "CheckPackages.h"
#include "CheckRun.h"
#include "JsonWriter.h"

namespace {

const char kWorkedExampleJson[] =
    R"({"loaded": true, "setupPath": "setup.inf", "defaultInstall": "Standard", "section": "ArenaPack", )"
    R"("copyright": "Sample notice text", "title": "Arena Map Pack", )"
    R"("installText": "Choose the directory of the game", "defaultDir": "C:\\Games\\Arena", "count": 3, )"
    R"("files": [)"
    R"({"source": "data\\arena1.map", "fileName": "arena1.map", "dest": "$setupdir\\maps\\", "action": "C", "number": 1}, )"
    R"({"source": "data\\arena2.map", "fileName": "arena2.map", "dest": "$setupdir\\maps\\", "action": "C", "number": 2}, )"
    R"({"source": "readme.txt", "fileName": "readme.txt", "dest": "$setupdir", "action": "E", "number": 0}], )"
    R"("warnings": [])";

const char kNotLoadedJson[] = "{\"loaded\": false, \"error\": \"Could not load setup info\"}\n";

// Reads the JSON string that starts at text[at] (its opening quote) back into
// the installer's 8-bit bytes. Fails the test on anything the writer must not
// produce: a raw control character, an unknown escape, a character above U+00FF.
std::string DecodeJsonString(const std::string& text, size_t at)
{
    const std::string shortEscapes = "\"\"\\\\//b\bf\fn\nr\rt\t";  // pairs: escape, byte
    std::string bytes;
    size_t i = at + 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        EXPECT_GE(c, 0x20) << "raw control character at " << i;
        if (c == '\\' && text[i + 1] == 'u') {
            const unsigned long code = std::stoul(text.substr(i + 2, 4), nullptr, 16);
            EXPECT_LE(code, 0xFFu);
            bytes += static_cast<char>(code);
            i += 5;
        } else if (c == '\\') {
            const size_t escape = shortEscapes.find(text[++i]);
            EXPECT_TRUE(escape != std::string::npos && escape % 2 == 0) << "unknown escape \\" << text[i];
            bytes += escape % 2 == 0 ? shortEscapes[escape + 1] : '?';
        } else if (c >= 0x80) {
            // Only U+0080-U+00FF may appear: two bytes of UTF-8, lead C2 or C3.
            const unsigned char next = static_cast<unsigned char>(text[++i]);
            EXPECT_TRUE((c == 0xC2 || c == 0xC3) && (next & 0xC0) == 0x80) << "bad UTF-8 at " << i;
            bytes += static_cast<char>((c & 0x03) << 6 | (next & 0x3F));
        } else {
            bytes += static_cast<char>(c);
        }
    }
    EXPECT_LT(i, text.size()) << "unterminated string";
    return bytes;
}

std::string JsonValueOf(const std::string& json, const std::string& key)
{
    size_t at = json.find("\"" + key + "\": ");
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? "" : DecodeJsonString(json, at + key.size() + 4);
}

}  // namespace

TEST(KivcheckJson, WorkedExampleWithAndWithoutTarget)
{
    CTempDir package;
    WriteWorkedExample(package);

    CheckRunResult plain = Check({"--json", package.Native().string()});
    EXPECT_EQ(plain.status, kExitLoaded);
    EXPECT_EQ(plain.out, std::string(kWorkedExampleJson) + "}\n");
    EXPECT_EQ(plain.err, "");

    // A relative target stays relative: the installer resolves it against
    // its start directory, the package directory.
    CheckRunResult planned = Check({"--json", "--target", "game\\baseq3", package.Native().string()});
    EXPECT_EQ(planned.status, kExitLoaded);
    EXPECT_EQ(planned.out,
              std::string(kWorkedExampleJson) +
                  R"(, "target": "game\\baseq3\\", "plan": [)"
                  R"({"op": "copy", "index": 0, "source": "data\\arena1.map", "entryDir": "game\\baseq3\\maps\\", "destPath": "game\\baseq3\\maps\\arena1.map"}, )"
                  R"({"op": "copy", "index": 1, "source": "data\\arena2.map", "entryDir": "game\\baseq3\\maps\\", "destPath": "game\\baseq3\\maps\\arena2.map"}, )"
                  R"({"op": "open", "index": 2, "source": "readme.txt"}]})"
                  "\n");
    // Nothing was made or copied.
    EXPECT_FALSE(package.Exists("game"));

    // The readable report tells the same, ending in a one-line summary.
    const std::string text = Check({"--target", "game\\baseq3", package.Native().string()}).out;
    EXPECT_NE(text.find("  open 2 \"readme.txt\"\nloaded: 3 entries, 2 to copy, 1 to open, no warnings\n"),
              std::string::npos) << text;

    // A skipped copy keeps its place in the plan, with its whole paths.
    const std::string t250(250, 't');
    CheckRunResult tooLong = Check({"--json", "--target", t250, package.Native().string()});
    EXPECT_NE(tooLong.out.find(R"({"op": "copy", "index": 0, "source": "data\\arena1.map", "entryDir": ")" + t250 +
                               R"(\\maps\\", "destPath": ")" + t250 +
                               R"(\\maps\\arena1.map", "skipped": "path too long"})"),
              std::string::npos)
        << tooLong.out;
    EXPECT_NE(tooLong.out.find(R"("code": "path-too-long")"), std::string::npos);
}

TEST(KivcheckJson, EveryByteRoundTrips)
{
    // Every byte a value can hold: not NUL (it ends a text), LF and CR (they
    // end or shorten a line), Ctrl-Z (it ends a text-mode file).
    std::string bytes;
    for (int c = 1; c < 256; ++c) {
        if (c != '\n' && c != '\r' && c != 26)
            bytes += static_cast<char>(c);
    }
    CTempDir package;
    WriteSetup(package, "Pack", "Title=" + bytes + "\n");
    package.Write("list.inf", "[Pack]\nCount=1\nFILE1=d\xE9j\xE0\\\x01\"x\";$setupdir;E;1\n");

    CheckRunResult run = Check({"--json", package.Native().string()});
    ASSERT_EQ(run.status, kExitLoaded) << run.err;
    EXPECT_EQ(JsonValueOf(run.out, "title"), bytes);
    EXPECT_EQ(JsonValueOf(run.out, "source"), "d\xE9j\xE0\\\x01\"x\"");
    EXPECT_EQ(JsonValueOf(run.out, "fileName"), "\x01\"x\"");
    // One line: every line end inside a value is escaped.
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1);

    EXPECT_EQ(JsonString("\"\\\b\f\n\r\t\x01\x1f\x7f\x80\xff/"),
              "\"\\\"\\\\\\b\\f\\n\\r\\t\\u0001\\u001f\x7f\xC2\x80\xC3\xBF/\"");
}

TEST(KivcheckJson, ExitStatuses)
{
    CTempDir package, empty;
    WriteWorkedExample(package);
    const std::filesystem::path before = std::filesystem::current_path();
    EXPECT_EQ(Check({"--strict", package.Native().string()}).status, kExitLoaded);
    // Warnings fail only a strict check, also one in the package directory itself.
    package.Write("logo.bmp", "not a bitmap");
    CheckRunResult lenient = Check({package.Native().string()});
    EXPECT_EQ(lenient.status, kExitLoaded);
    EXPECT_NE(lenient.out.find("logo-not-bitmap"), std::string::npos);
    EXPECT_EQ(Check({"--strict", "--json", package.Native().string()}).status, kExitWarnings);
    {
        CCurrentDir inPackage(package.Native());
        EXPECT_EQ(Check({"--strict"}).status, kExitWarnings);
    }
    // Not loaded: no setup.inf, no such directory, or setup.inf without list.inf.
    package.Write("data\\setup.inf", "[Setup]\n");
    for (const std::string& dir : {empty.Native().string(), empty.Native("missing").string(), package.Native("data").string()}) {
        for (const char* json : {"--json", "--strict"}) {
            CheckRunResult missing = Check({json, dir});
            EXPECT_EQ(missing.status, kExitNotLoaded);
            EXPECT_EQ(missing.out, json[2] == 'j' ? kNotLoadedJson : "");
            EXPECT_NE(missing.err.find("Could not load setup info"), std::string::npos);
        }
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--jsn", package.Native().string()}, {package.Native().string(), "--target"}, {package.Native().string(), package.Native().string()}}) {
        CheckRunResult usage = Check(args);
        EXPECT_EQ(usage.status, kExitUsage);
        EXPECT_EQ(usage.out, "");
        EXPECT_NE(usage.err.find("usage: kivcheck [--json] [--target DIR] [--strict] [PACKAGE_DIR]"),
                  std::string::npos);
    }
    EXPECT_EQ(std::filesystem::current_path(), before);
}
