// A description file read once, the installer's way, for checks that need its lines and uncut values.
#pragma once
#include <string>

#include "setupinfo/FileSource.h"
#include "setupinfo/LineIndex.h"
#include "setupinfo/TextReader.h"

class CDescriptionText {
public:
    // Reads path into the same line index that Load uses. A file that does
    // not open (or a read that runs out of memory) has no lines.
    explicit CDescriptionText(const char* path);
    CDescriptionText(const CDescriptionText&) = delete;
    CDescriptionText& operator=(const CDescriptionText&) = delete;

    // The reads of the file: lines, or 2047-character pieces of longer ones,
    // as the lookup sees them (up to a NUL byte, LF kept).
    size_t LineCount() const { return m_readable ? m_index.LineCount() : 0; }
    const char* LineText(size_t line) const { return m_index.LineText(line); }
    // The physical line number, from 1.
    size_t LineNumber(size_t line) const { return m_index.LineNumber(line); }

    // The value the key lookup finds for key in section, not cut to any field.
    // False when the lookup finds none.
    bool FindValue(const std::string& section, const std::string& key, std::string& value);

    // The line the lookup takes as the header of section, or CLineIndex::kNoLine.
    size_t FindHeader(const std::string& section);

    // Just past the lines a reader sees as the section whose header is at
    // header: up to the next line that starts, after blanks, with "[".
    size_t SectionEnd(size_t header) const;

private:
    CFileSource m_source;
    CTextReader m_reader;
    CLineIndex m_index;
    bool m_readable;
};

// True when the key lookup takes line as the line of key.
bool LineMatchesKey(const char* line, const std::string& key);
