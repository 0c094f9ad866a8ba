// A description file read the installer's way, for checks that need its lines and uncut values.
#pragma once
#include <string>
#include <vector>

#include "FileSource.h"
#include "TextReader.h"

class CDescriptionText {
public:
    // One read of the file: a line, or a 2047-character piece of a longer one.
    struct Line {
        std::string text;  // as the lookup sees it: up to a NUL byte, LF kept
        int number;        // physical line number, from 1
    };

    explicit CDescriptionText(const char* path);
    CDescriptionText(const CDescriptionText&) = delete;
    CDescriptionText& operator=(const CDescriptionText&) = delete;

    bool IsOpen() const { return m_open; }
    const std::vector<Line>& Lines() const { return m_lines; }

    // The value the key lookup finds for key in section, not cut to any field.
    // False when the lookup finds none.
    bool FindValue(const std::string& section, const std::string& key, std::string& value);

    // Index in Lines() of the line the lookup takes as the header of section;
    // -1 when there is none.
    int FindHeader(const std::string& section) const;

    // Index just past the lines a reader sees as the section whose header is
    // at header: up to the next line that starts, after blanks, with "[".
    size_t SectionEnd(int header) const;

private:
    CFileSource m_source;
    CTextReader m_reader;
    bool m_open;
    std::vector<Line> m_lines;
};

// Upper-cases the ASCII letters only, as the lookup does.
std::string UpperAscii(std::string text);

// True when the key lookup takes line as the line of key: it holds "KEY=" in
// any case, and its first "=" stands right after as many characters as key has.
bool LineMatchesKey(const std::string& line, const std::string& key);
