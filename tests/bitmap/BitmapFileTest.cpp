// The bitmap header check: every kind of bitmap the system loads passes it
// (and, on Windows, loads), and a file that declares parts it does not hold
// never reaches the loader.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/Bitmap.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

struct Picture {
    uint32_t headerSize;
    int32_t width, height;
    uint16_t bits;
    uint32_t compression;
    uint32_t colours;  // written as the colours-used field; the table holds this many (or 2^bits)
};

void Put(std::string& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A bitmap file with black pixels; run-length pictures encode each row as one run.
std::string BitmapBytes(const Picture& p)
{
    const bool core = p.headerSize == 12;
    const uint32_t tableColours = p.colours ? p.colours : p.bits <= 8 ? 1u << p.bits : 0;
    const uint32_t masks = p.compression == 3 && p.headerSize == 40 ? 12 : 0;
    std::string pixels;
    const uint32_t rows = static_cast<uint32_t>(p.height < 0 ? -p.height : p.height);
    for (uint32_t row = 0; row < rows; ++row) {
        if (p.compression == 1 || p.compression == 2)
            pixels += std::string{static_cast<char>(p.width), 0, 0, 0};  // a run, then the end of the line
        else
            pixels += std::string((static_cast<uint64_t>(p.width) * p.bits + 31) / 32 * 4, '\0');
    }
    if (p.compression == 1 || p.compression == 2)
        pixels += std::string{0, 1};  // the end of the picture
    const uint32_t offset = 14 + p.headerSize + masks + tableColours * (core ? 3 : 4);
    std::string bytes = "BM";
    Put(bytes, offset + static_cast<uint32_t>(pixels.size()), 4);
    Put(bytes, 0, 4);
    Put(bytes, offset, 4);
    Put(bytes, p.headerSize, 4);
    if (core) {
        Put(bytes, static_cast<uint32_t>(p.width), 2);
        Put(bytes, static_cast<uint32_t>(p.height), 2);
        Put(bytes, 1, 2);
        Put(bytes, p.bits, 2);
    } else {
        for (uint32_t field : {static_cast<uint32_t>(p.width), static_cast<uint32_t>(p.height)})
            Put(bytes, field, 4);
        Put(bytes, 1, 2);
        Put(bytes, p.bits, 2);
        Put(bytes, p.compression, 4);
        Put(bytes, p.compression == 1 || p.compression == 2 ? static_cast<uint32_t>(pixels.size()) : 0, 4);
        Put(bytes, 2835, 4);
        Put(bytes, 2835, 4);
        Put(bytes, p.colours, 4);
        Put(bytes, 0, 4);
        if (p.compression == 3)  // red, green and blue masks of 5-6-5 or 8-8-8 bits
            for (uint32_t mask : p.bits == 16 ? std::vector<uint32_t>{0xF800, 0x07E0, 0x001F}
                                              : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF})
                Put(bytes, mask, 4);
        bytes.resize(14 + p.headerSize + masks, '\0');
    }
    bytes.append(tableColours * (core ? 3 : 4), '\x40');
    return bytes + pixels;
}

BitmapProblem Check(const std::string& bytes)
{
    return CheckBitmapHeaders(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), bytes.size()).problem;
}

std::string Patched(std::string bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

}  // namespace

TEST(BitmapFile, EveryLoadableKindPassesAndDeclaredPartsOutsideTheFileDoNot)
{
    const std::vector<Picture> loadable = {
        {12, 32, 32, 24, 0, 0},  {12, 16, 8, 8, 0, 0},    {40, 33, 7, 1, 0, 0},  {40, 33, 7, 4, 0, 0},
        {40, 33, 7, 8, 0, 0},    {40, 33, 7, 8, 0, 17},   {40, 33, 7, 16, 0, 0}, {40, 33, 7, 24, 0, 0},
        {40, 33, -7, 24, 0, 0},  {40, 33, 7, 32, 0, 0},   {40, 33, 7, 16, 3, 0}, {40, 33, 7, 32, 3, 0},
        {40, 20, 6, 8, 1, 0},    {40, 20, 6, 4, 2, 0},    {108, 9, 9, 32, 3, 0}, {124, 9, -9, 24, 0, 0},
        {40, 32767, 1, 1, 0, 0}, {40, 1, 32767, 1, 0, 0},
    };
    CTempDir dir;
    for (const Picture& p : loadable) {
        const std::string bytes = BitmapBytes(p);
        const std::string name = "logo" + std::to_string(&p - loadable.data()) + ".bmp";
        dir.Write(name, bytes);
        EXPECT_EQ(CheckBitmapFile((dir.Path() + "\\" + name).c_str()).problem, BitmapProblem::None) << name;
#ifdef _WIN32
        // What the installer hands to the loader, loaded as the installer loads it.
        HANDLE loaded = LoadImageA(nullptr, (dir.Path() + "\\" + name).c_str(), IMAGE_BITMAP, 0, 0,
                                   LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
        EXPECT_NE(loaded, nullptr) << name;
        DeleteObject(loaded);
#endif
        // One byte short of the last pixel: the loader would read past the end.
        EXPECT_NE(Check(bytes.substr(0, bytes.size() - 1)), BitmapProblem::None) << name;
    }

    const std::string good = BitmapBytes({40, 32, 32, 24, 0, 0});
    const std::vector<std::pair<std::string, BitmapProblem>> refused = {
        {Patched(good, 10, 0x7FFFFFF0), BitmapProblem::PixelOffset},  // pixels far beyond the end
        {Patched(good, 10, 53), BitmapProblem::PixelOffset},          // pixels inside the headers
        {Patched(good, 14, 99), BitmapProblem::HeaderSize},
        {Patched(good, 18, 0), BitmapProblem::Dimensions},
        {Patched(good, 22, 0x80000000), BitmapProblem::Dimensions},
        {BitmapBytes({40, 32768, 1, 1, 0, 0}), BitmapProblem::Dimensions},
        {BitmapBytes({40, 33, 7, 7, 0, 0}), BitmapProblem::BitCount},
        {Patched(good, 26, 2), BitmapProblem::Planes},
        {Patched(BitmapBytes({40, 20, 6, 8, 1, 0}), 22, static_cast<uint32_t>(-6)), BitmapProblem::Compression},
        {BitmapBytes({40, 33, 7, 24, 1, 0}), BitmapProblem::Compression},
        {Patched(BitmapBytes({40, 33, 7, 8, 0, 0}), 46, 257), BitmapProblem::ColourTable},
        {Patched(BitmapBytes({40, 33, 7, 8, 0, 0}), 46, 0x40000000), BitmapProblem::ColourTable},
        {Patched(BitmapBytes({40, 20, 6, 8, 1, 0}), 34, 0x7FFFFFFF), BitmapProblem::PixelData},
        {"BM" + std::string(24, '\0'), BitmapProblem::HeaderSize},
        // 2048 x 1024 at 32 bits decode to exactly 8 MiB: allowed (but absent); one row more is refused, as
        // is a small run-length file that declares 32767 x 32767 pixels.
        {Patched(Patched(BitmapBytes({40, 32, 32, 32, 0, 0}), 18, 2048), 22, 1024), BitmapProblem::PixelData},
        {Patched(Patched(BitmapBytes({40, 32, 32, 32, 0, 0}), 18, 2048), 22, 1025), BitmapProblem::TooLarge},
        {Patched(Patched(BitmapBytes({40, 20, 6, 8, 1, 0}), 18, 32767), 22, 32767), BitmapProblem::TooLarge},
        {good.substr(0, 25), BitmapProblem::TooShort},
        {"MB" + good.substr(2), BitmapProblem::NoSignature},
    };
    for (const auto& [bytes, problem] : refused)
        EXPECT_EQ(Check(bytes), problem) << &bytes - &refused[0].first;

    // A directory or a missing file is no bitmap; nothing is waited for.
    EXPECT_NE(CheckBitmapFile(dir.Path().c_str()).problem, BitmapProblem::None);
    EXPECT_NE(CheckBitmapFile((dir.Path() + "\\missing.bmp").c_str()).problem, BitmapProblem::None);
}

TEST(BitmapFile, TheColourTableEndsWithinTheFile)
{
    // Where the table ends: after the 14-byte file header, the information
    // header, the three 4-byte colour masks of a 40-byte header with
    // compression 3, and the colours (colours-used, 0 for 2^bits up to 8
    // bits), 3 bytes each after a 12-byte core header, 4 after the others.
    const std::vector<std::pair<Picture, size_t>> rows = {
        {{12, 1, 1, 1, 0, 0}, 32},  {{12, 1, 1, 8, 0, 0}, 794},   {{40, 1, 1, 1, 0, 0}, 62},
        {{40, 1, 1, 4, 0, 0}, 118}, {{40, 1, 1, 8, 0, 0}, 1078},  {{40, 1, 1, 8, 0, 256}, 1078},
        {{40, 1, 1, 4, 0, 3}, 66},  {{40, 1, 1, 24, 0, 2}, 62},   {{40, 1, 1, 16, 3, 0}, 66},
        {{56, 1, 1, 16, 3, 2}, 78}, {{108, 1, 1, 32, 3, 2}, 130},
    };
    for (const auto& [picture, tableEnd] : rows) {
        // A file that ends with the table has no pixels; one byte less, not all of the table.
        const std::string bytes = BitmapBytes(picture);
        EXPECT_EQ(Check(bytes.substr(0, tableEnd)), BitmapProblem::PixelData) << tableEnd;
        EXPECT_EQ(Check(bytes.substr(0, tableEnd - 1)), BitmapProblem::ColourTable) << tableEnd;
    }
}
