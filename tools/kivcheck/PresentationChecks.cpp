#include <cstdint>
#include <string>
#include <vector>

#include "FileSource.h"
#include "PackageChecks.h"

namespace {

const char kLicenseFileName[] = "license.txt";
const char kLogoFileName[] = "logo.bmp";

bool ReadWhole(const char* path, std::vector<unsigned char>& bytes)
{
    CFileSource file;
    if (!file.Open(path))
        return false;
    unsigned char block[4096];
    for (size_t got; (got = file.Read(block, sizeof block)) > 0;)
        bytes.insert(bytes.end(), block, block + got);
    return true;
}

uint32_t Little32(const std::vector<unsigned char>& bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

uint16_t Little16(const std::vector<unsigned char>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// What keeps the bytes from being a bitmap file that the system loads; empty
// when they are one. The file header is 14 bytes, the information header
// follows it.
std::string BitmapProblem(const std::vector<unsigned char>& bytes)
{
    const size_t fileHeaderSize = 14;
    const size_t coreHeaderSize = 12;
    if (bytes.size() < fileHeaderSize + coreHeaderSize)
        return "it is too short";
    if (bytes[0] != 'B' || bytes[1] != 'M')
        return "it does not start with \"BM\"";
    const uint32_t pixelOffset = Little32(bytes, 10);
    const uint32_t headerSize = Little32(bytes, 14);
    const bool core = headerSize == coreHeaderSize;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 &&
        headerSize != 108 && headerSize != 124)
        return "its information header has the unknown size " + std::to_string(headerSize);
    if (bytes.size() < fileHeaderSize + headerSize)
        return "it ends inside its information header";

    int64_t width, height;
    unsigned planes, bitCount, compression = 0;
    if (core) {
        width = Little16(bytes, 18);
        height = Little16(bytes, 20);
        planes = Little16(bytes, 22);
        bitCount = Little16(bytes, 24);
    } else {
        width = static_cast<int32_t>(Little32(bytes, 18));
        height = static_cast<int32_t>(Little32(bytes, 22));
        planes = Little16(bytes, 26);
        bitCount = Little16(bytes, 28);
        compression = Little32(bytes, 30);
    }
    if (width <= 0 || height == 0)
        return "its width or height is not positive";
    if (planes != 1)
        return "its plane count is not 1";
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return "it has " + std::to_string(bitCount) + " bits per pixel";
    if (compression > 3)
        return "its compression is not one a bitmap file uses";
    if (pixelOffset >= bytes.size())
        return "its pixels start beyond its end";
    if (compression == 0 || compression == 3) {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
        const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
        if (rowBytes * rows > bytes.size() - pixelOffset)
            return "it ends before its last row of pixels";
    }
    return "";
}

}  // namespace

void CheckPresentationFiles(std::vector<CheckWarning>& warnings)
{
    std::vector<unsigned char> license;
    if (ReadWhole(kLicenseFileName, license)) {
        for (size_t i = 0; i < license.size(); ++i) {
            if (license[i] == 0) {
                Warn(warnings, "license-nul",
                     "license.txt holds a NUL byte at offset " + std::to_string(i) +
                         ", so the licence box shows only the text before it");
                break;
            }
        }
    }

    std::vector<unsigned char> logo;
    if (ReadWhole(kLogoFileName, logo)) {
        const std::string problem = BitmapProblem(logo);
        if (!problem.empty())
            Warn(warnings, "logo-not-bitmap",
                 "logo.bmp is not a Windows bitmap (" + problem + "), so the built-in logo is shown");
    }
}
