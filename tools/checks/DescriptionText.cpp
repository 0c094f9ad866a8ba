#include "checks/DescriptionText.h"

#include "setupinfo/Limits.h"
#include "setupinfo/LineRules.h"

CDescriptionText::CDescriptionText(const char* path)
    : m_reader(m_source), m_readable(m_source.Open(path) && m_index.Read(m_reader))
{
    m_source.Close();
}

bool CDescriptionText::FindValue(const std::string& section, const std::string& key, std::string& value)
{
    char buffer[kLineSize];
    if (!m_readable || !m_index.Find(section.c_str(), key.c_str(), buffer, sizeof buffer))
        return false;
    value = buffer;
    return true;
}

size_t CDescriptionText::FindHeader(const std::string& section)
{
    return m_readable ? m_index.FindSection(section.c_str()) : CLineIndex::kNoLine;
}

size_t CDescriptionText::SectionEnd(size_t header) const
{
    size_t line = header + 1;
    for (; line < LineCount(); ++line) {
        const char* text = m_index.LineText(line);
        while (*text == ' ' || *text == '\t')
            ++text;
        if (*text == '[')
            break;
    }
    return line;
}

bool LineMatchesKey(const char* line, const std::string& key)
{
    static MatchTexts texts;  // two lines' worth: not on the stack
    return BuildMatchTexts("", key.c_str(), texts) && IsKeyLine(line, texts);
}
