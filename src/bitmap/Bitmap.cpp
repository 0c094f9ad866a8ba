#include "bitmap/Bitmap.h"

#include "platform/Platform.h"

namespace {

uint32_t Little32(const unsigned char* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t Little16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

BitmapCheck Problem(BitmapProblem problem, int64_t value = 0) { return {problem, value}; }

}  // namespace

BitmapCheck CheckBitmapHeaders(const unsigned char* head, size_t headSize, uint64_t fileSize)
{
    const uint64_t fileHeaderSize = 14;
    const uint32_t coreHeaderSize = 12;
    if (headSize > fileSize)
        headSize = static_cast<size_t>(fileSize);
    if (headSize < fileHeaderSize + coreHeaderSize)
        return Problem(BitmapProblem::TooShort);
    if (head[0] != 'B' || head[1] != 'M')
        return Problem(BitmapProblem::NoSignature);
    const uint32_t pixelOffset = Little32(head + 10);
    const uint32_t headerSize = Little32(head + 14);
    const bool core = headerSize == coreHeaderSize;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 && headerSize != 108 &&
        headerSize != 124)
        return Problem(BitmapProblem::HeaderSize, headerSize);
    if (headSize < fileHeaderSize + headerSize)
        return Problem(BitmapProblem::TooShort);

    int64_t width, height;
    unsigned planes, bitCount;
    uint32_t compression = 0, sizeImage = 0, coloursUsed = 0;
    if (core) {
        width = Little16(head + 18);
        height = Little16(head + 20);
        planes = Little16(head + 22);
        bitCount = Little16(head + 24);
    } else {
        width = static_cast<int32_t>(Little32(head + 18));
        height = static_cast<int32_t>(Little32(head + 22));
        planes = Little16(head + 26);
        bitCount = Little16(head + 28);
        compression = Little32(head + 30);
        sizeImage = Little32(head + 34);
        coloursUsed = Little32(head + 46);
    }
    const int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || height == 0 || width > kBitmapMaxSide || rows > kBitmapMaxSide)
        return Problem(BitmapProblem::Dimensions);
    if (planes != 1)
        return Problem(BitmapProblem::Planes, planes);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return Problem(BitmapProblem::BitCount, bitCount);
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (rowBytes * static_cast<uint64_t>(rows) > kBitmapMaxPixelBytes)
        return Problem(BitmapProblem::TooLarge, static_cast<int64_t>(rowBytes * static_cast<uint64_t>(rows)));
    // Uncompressed; RLE8 and RLE4 for their own depth, bottom-up only; colour
    // masks for 16 and 32 bits.
    const bool runLength = compression == 1 || compression == 2;
    if (compression > 3 || (compression == 1 && bitCount != 8) || (compression == 2 && bitCount != 4) ||
        (runLength && height < 0) || (compression == 3 && bitCount != 16 && bitCount != 32))
        return Problem(BitmapProblem::Compression, compression);

    // The colour table follows the headers (and, after a 40-byte header, the
    // three colour masks); depths up to 8 bits have at most 2^bits colours.
    const uint64_t maxColours = bitCount <= 8 ? uint64_t{1} << bitCount : 0;
    const uint64_t colours = coloursUsed != 0 ? coloursUsed : maxColours;
    if (bitCount <= 8 && colours > maxColours)
        return Problem(BitmapProblem::ColourTable);
    const uint64_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    const uint64_t tableEnd = fileHeaderSize + headerSize + masks + colours * (core ? 3 : 4);
    if (tableEnd > fileSize)
        return Problem(BitmapProblem::ColourTable);
    if (pixelOffset < tableEnd || pixelOffset > fileSize)
        return Problem(BitmapProblem::PixelOffset, pixelOffset);

    const uint64_t pixelBytes = runLength ? sizeImage : rowBytes * static_cast<uint64_t>(rows);
    if (pixelBytes == 0 || pixelBytes > fileSize - pixelOffset)
        return Problem(BitmapProblem::PixelData);
    return Problem(BitmapProblem::None);
}

BitmapCheck CheckBitmapFile(const char* path)
{
    FILE* file = Platform::OpenRegularFile(path);
    if (!file)
        return Problem(BitmapProblem::Unreadable, Platform::LastError());
    unsigned char head[kBitmapHeadSize];
    const size_t got = fread(head, 1, sizeof head, file);
    const bool readFailed = got < sizeof head && ferror(file);
    long size = -1;
    if (!readFailed && fseek(file, 0, SEEK_END) == 0)
        size = ftell(file);
    const int error = Platform::LastError();
    fclose(file);
    if (size < 0)
        return Problem(BitmapProblem::Unreadable, error);
    return CheckBitmapHeaders(head, got, static_cast<uint64_t>(size));
}
