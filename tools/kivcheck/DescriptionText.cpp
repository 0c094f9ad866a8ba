#include "DescriptionText.h"

#include <cstring>

#include "Limits.h"
#include "SetupInfo.h"
#include "TextBuffer.h"

CDescriptionText::CDescriptionText(const char* path) : m_reader(m_source), m_open(m_source.Open(path))
{
    if (!m_open)
        return;
    std::vector<char> buffer(kLineSize);
    int number = 1;
    for (;;) {
        // A line may hold NUL bytes; the terminator is the last NUL in the
        // buffer, since the bytes after it keep their non-zero filling.
        memset(buffer.data(), 1, buffer.size());
        if (!m_reader.ReadLine(buffer.data(), buffer.size()))
            break;
        size_t length = buffer.size() - 1;
        while (buffer[length] != '\0')
            --length;
        m_lines.push_back({std::string(buffer.data()), number});
        if (length > 0 && buffer[length - 1] == '\n')
            ++number;
    }
}

bool CDescriptionText::FindValue(const std::string& section, const std::string& key, std::string& value)
{
    if (!m_open)
        return false;
    std::vector<char> buffer(kLineSize, '\0');
    if (!CSetupInfo::GetValue(&m_reader, section.c_str(), key.c_str(), buffer.data(), buffer.size()))
        return false;
    value = buffer.data();
    return true;
}

int CDescriptionText::FindHeader(const std::string& section) const
{
    const std::string header = UpperAscii("[" + section + "]");
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (UpperAscii(m_lines[i].text).find(header) != std::string::npos)
            return static_cast<int>(i);
    }
    return -1;
}

size_t CDescriptionText::SectionEnd(int header) const
{
    size_t i = static_cast<size_t>(header) + 1;
    for (; i < m_lines.size(); ++i) {
        const std::string& text = m_lines[i].text;
        size_t first = text.find_first_not_of(" \t");
        if (first != std::string::npos && text[first] == '[')
            break;
    }
    return i;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        c = ToUpperAscii(c);
    return text;
}

bool LineMatchesKey(const std::string& line, const std::string& key)
{
    if (UpperAscii(line).find(UpperAscii(key + "=")) == std::string::npos)
        return false;
    return line.find('=') == key.size();
}
