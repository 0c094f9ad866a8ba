// The check of a bitmap file's headers that comes before any loader reads it.
#pragma once
#include <cstddef>
#include <cstdint>

// The bytes the check reads: the 14-byte file header and the largest
// information header (124 bytes).
constexpr size_t kBitmapHeadSize = 14 + 124;

// The widest and tallest picture accepted, in pixels: the largest coordinate
// GDI draws. It also bounds what a compressed picture unpacks to.
constexpr int64_t kBitmapMaxSide = 32767;

// The most memory the decoded picture may take, in bytes (its rows of pixels
// as the loader holds them, each a multiple of 4 bytes): 8 MiB, 190 times the
// 440 x 110 logo at 8 bits and still 6 times it at 32. A compressed file of a
// few hundred bytes can declare a picture of gigabytes.
constexpr uint64_t kBitmapMaxPixelBytes = 8u << 20;

enum class BitmapProblem {
    None,
    Unreadable,   // value: the system's code for why the file could not be opened or read
    TooShort,     // not even the headers
    NoSignature,  // does not start with "BM"
    HeaderSize,   // value: the information header's size
    Dimensions,   // width or height zero, negative where it cannot be, or over the largest side
    TooLarge,     // value: the bytes the decoded picture would take
    Planes,       // value: the plane count
    BitCount,     // value: the bits per pixel
    Compression,  // value: the compression, or one this bit depth cannot have
    ColourTable,  // the colour table or the colour masks do not fit the file
    PixelOffset,  // value: the offset, before the colour table's end or beyond the file
    PixelData,    // the pixels declared do not fit between the offset and the end
};

struct BitmapCheck {
    BitmapProblem problem;
    int64_t value;
};

// Checks that head (the file's first headSize bytes) describes a Windows
// bitmap whose every declared part lies within a file of fileSize bytes: the
// header size, width, height, planes and bit depth are ones a Windows bitmap
// can have, and the colour table and the pixel data fit.
BitmapCheck CheckBitmapHeaders(const unsigned char* head, size_t headSize, uint64_t fileSize);

// Reads the headers of the file at path (a regular file only) and checks them.
BitmapCheck CheckBitmapFile(const char* path);
