#include "setupinfo/TextReader.h"

#include <algorithm>
#include <cstring>

namespace {
const int kEnd = -1;
const int kCtrlZ = 26;
// The bytes that do not always arrive as they are: the LF that ends a line,
// a CR that may begin a CR LF pair, and Ctrl-Z, which ends the text.
const int kSpecialBytes[] = {'\n', '\r', kCtrlZ};
}  // namespace

bool CTextReader::Rewind()
{
    m_length = m_position = 0;
    m_ended = false;
    return m_source.Rewind();
}

int CTextReader::PeekByte()
{
    if (m_position == m_length) {
        m_length = m_source.Read(m_buffer, kBufferSize);
        m_position = 0;
        if (m_length == 0)
            return kEnd;
    }
    return m_buffer[m_position];
}

int CTextReader::NextByte()
{
    int c = PeekByte();
    if (c != kEnd)
        ++m_position;
    return c;
}

int CTextReader::NextChar()
{
    if (m_ended)
        return kEnd;
    int c = NextByte();
    if (c == '\r' && PeekByte() == '\n')
        c = NextByte();
    if (c == kCtrlZ || c == kEnd) {
        m_ended = true;
        return kEnd;
    }
    return c;
}

size_t CTextReader::ReadLine(char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    size_t count = 0;
    while (count + 1 < size) {
        // A run of bytes that arrive as they are, up to the first special
        // byte, is copied at once; the special bytes and the end of the
        // buffer are read one by one.
        if (!m_ended && m_position < m_length) {
            const unsigned char* bytes = m_buffer + m_position;
            size_t run = std::min(m_length - m_position, size - 1 - count);
            for (const int stop : kSpecialBytes) {
                if (const void* found = memchr(bytes, stop, run))
                    run = static_cast<size_t>(static_cast<const unsigned char*>(found) - bytes);
            }
            if (run > 0) {
                memcpy(buffer + count, bytes, run);
                m_position += run;
                count += run;
                continue;
            }
        }
        int c = NextChar();
        if (c == kEnd)
            break;
        buffer[count++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[count] = '\0';
    return count;
}
