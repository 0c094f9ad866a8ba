// Line reading with the results of the Windows C runtime's text mode, on every build.
#pragma once
#include <cstddef>

#include "setupinfo/ByteSource.h"

// Reads a byte source as a text-mode stream: a CR LF pair arrives as one LF,
// a lone CR stays a CR, and a Ctrl-Z byte (26) ends the text.
class CTextReader {
public:
    explicit CTextReader(IByteSource& source) : m_source(source) {}

    // Goes back to the start; false when the source cannot be rewound.
    bool Rewind();

    // Reads one line the way fgets does: at most size - 1 characters, up to
    // and including the next LF, then a NUL. NUL bytes inside the line are
    // kept as they are. Returns the number of characters read, 0 when nothing
    // was left to read.
    size_t ReadLine(char* buffer, size_t size);

private:
    int NextByte();
    int PeekByte();
    int NextChar();

    IByteSource& m_source;
    static constexpr size_t kBufferSize = 4096;
    unsigned char m_buffer[kBufferSize];
    size_t m_length = 0;
    size_t m_position = 0;
    bool m_ended = false;
};
