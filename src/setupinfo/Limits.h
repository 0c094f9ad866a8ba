// The sizes of the installer's fixed text buffers.
#pragma once
#include <cstddef>

// Every size counts the terminating NUL: a buffer of N bytes holds a text of
// at most N - 1 characters.

// One read of a description file: 2047 characters and the NUL. A longer
// physical line arrives in pieces of 2047 characters.
constexpr size_t kLineSize = 2048;

// A Windows path: 259 characters and the NUL (MAX_PATH).
constexpr size_t kPathSize = 260;

// DEFAULTINSTALL, the install-section name, Copyright and InstallText:
// 255 characters and the NUL.
constexpr size_t kTextSize = 256;

// Title: 511 characters and the NUL.
constexpr size_t kTitleSize = 512;

// Count: 11 characters, room for "-2147483648", and the NUL.
constexpr size_t kCountSize = 12;

// A whole FILE value before it is split: 259 characters and the NUL.
constexpr size_t kFileValueSize = 260;

// The source path in a FILE value: 255 characters and the NUL.
constexpr size_t kSourcePathSize = 256;
