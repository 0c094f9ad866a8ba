#include "setupinfo/TextReader.h"

namespace {
const int kEnd = -1;
const int kCtrlZ = 26;
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
