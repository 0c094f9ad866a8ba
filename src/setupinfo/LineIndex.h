// CLineIndex: a description file read once into its lines, answering key lookups from memory.
#pragma once
#include <cstddef>

#include "setupinfo/Limits.h"
#include "setupinfo/LineRules.h"
#include "setupinfo/TextReader.h"

// Gives for every lookup exactly the result a scan of the file gives on the
// same file, but reads the file only once: a list of k entries then costs one
// pass over list.inf instead of k.
class CLineIndex {
public:
    // A line index that stands for "no such line".
    static constexpr size_t kNoLine = static_cast<size_t>(-1);

    CLineIndex() = default;
    ~CLineIndex();
    CLineIndex(const CLineIndex&) = delete;
    CLineIndex& operator=(const CLineIndex&) = delete;

    // Reads file from its start into lines, in the pieces every lookup reads, and
    // indexes them. False when memory runs out. A file that cannot be rewound
    // has no values, as a lookup that must rewind it finds none.
    bool Read(CTextReader& file);

    // The key lookup (LineRules.h) on the lines read, with the value a scan of
    // the file from its start gives: the same cut to destinationSize - 1
    // characters, destination untouched on failure.
    char* Find(const char* section, const char* key, char* destination, size_t destinationSize);

    // The lines as the lookup sees them: each read of at most 2047
    // characters, as a C string (a NUL byte ends it, the LF is kept).
    size_t LineCount() const { return m_lineCount; }
    const char* LineText(size_t line) const { return m_text + m_lines[line].offset; }
    // The physical line a read belongs to, from 1: the pieces of a line over
    // 2047 characters share its number.
    size_t LineNumber(size_t line) const { return m_lines[line].number; }

    // The line the lookup takes as the header of section, or kNoLine.
    size_t FindSection(const char* section);

private:
    struct Line {
        size_t offset;  // into m_text
        size_t number;
    };
    // One key a line answers to (see AddKeysOfLine), chained to the next
    // line that answers to the same key.
    struct KeyEntry {
        size_t keyOffset;  // into m_text
        size_t keyLength;
        size_t line;
        size_t next;
    };
    // A hash table slot: the first and last entry of one key's chain.
    struct Slot {
        size_t head;
        size_t tail;
    };

    bool AddLine(const char* text, size_t number);
    bool AddKeysOfLine(size_t line);
    bool BuildTable();
    size_t FindSlot(const char* upperKey, size_t keyLength, size_t hash) const;
    size_t FindHeaderLine(const MatchTexts& texts);
    size_t FindKeyLine(size_t headerLine, const MatchTexts& texts) const;
    size_t ScanForKeyLine(size_t headerLine, const MatchTexts& texts) const;

    bool m_readable = false;
    char* m_text = nullptr;  // every line as a C string, one after the other
    size_t m_textSize = 0;
    size_t m_textCapacity = 0;
    Line* m_lines = nullptr;
    size_t m_lineCount = 0;
    size_t m_lineCapacity = 0;
    KeyEntry* m_entries = nullptr;
    size_t m_entryCount = 0;
    size_t m_entryCapacity = 0;
    Slot* m_slots = nullptr;
    size_t m_slotCount = 0;  // a power of two, or 0 before the table is built

    // The header line of the last section asked for: every FILE lookup of a
    // list asks for the same section.
    char m_lastHeader[kLineSize] = "";
    size_t m_lastHeaderLine = 0;
    bool m_haveLastHeader = false;
};
