#include "setupinfo/LineIndex.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "setupinfo/LineRules.h"
#include "text/Reserve.h"
#include "text/Text.h"
#include "codepages/CodePages.h"

namespace {

const size_t kNone = CLineIndex::kNoLine;

// The bytes of a key upper-cased as the lookup's match texts are (LineRules.h): a letter that
// is a character of its own, read from the key's start, one byte after the
// other.
class CUpperKey {
public:
    CUpperKey(const char* key, size_t length) : m_key(key), m_length(length) {}
    char At(size_t i)
    {
        const char byte = m_key[i];
        if (i < m_second)
            return byte;
        if (CodePages::IsLeadByte(static_cast<unsigned char>(byte)) && i + 1 < m_length) {
            m_second = i + 2;
            return byte;
        }
        return ToUpperAscii(byte);
    }

private:
    const char* m_key;
    size_t m_length;
    size_t m_second = 0;  // just past the second byte of the last two-byte character
};

// Keys are hashed and compared upper-cased, as the lookup compares them.
size_t HashKey(const char* key, size_t length)
{
    size_t hash = 2166136261u;
    CUpperKey upper(key, length);
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ static_cast<unsigned char>(upper.At(i))) * 16777619u;
    return hash;
}

bool SameKey(const char* a, const char* b, size_t length)
{
    CUpperKey upperA(a, length), upperB(b, length);
    for (size_t i = 0; i < length; ++i) {
        if (upperA.At(i) != upperB.At(i))
            return false;
    }
    return true;
}

}  // namespace

CLineIndex::~CLineIndex()
{
    free(m_text);
    free(m_lines);
    free(m_entries);
    free(m_slots);
}

bool CLineIndex::Read(CTextReader& file)
{
    if (!file.Rewind())
        return true;
    char piece[kLineSize];
    size_t number = 1;
    for (size_t length; (length = file.ReadLine(piece, sizeof piece)) > 0;) {
        if (!AddLine(piece, number))
            return false;
        if (piece[length - 1] == '\n')
            ++number;
    }
    for (size_t line = 0; line < m_lineCount; ++line) {
        if (!AddKeysOfLine(line))
            return false;
    }
    m_readable = BuildTable();
    return m_readable;
}

bool CLineIndex::AddLine(const char* text, size_t number)
{
    // Every test of the lookup sees a line as a C string: a NUL byte ends it.
    const size_t length = strlen(text);
    if (!Reserve(m_text, m_textCapacity, m_textSize + length + 1) || !Reserve(m_lines, m_lineCapacity, m_lineCount + 1))
        return false;
    memcpy(m_text + m_textSize, text, length + 1);
    m_lines[m_lineCount++] = {m_textSize, number};
    m_textSize += length + 1;
    return true;
}

// The lookup takes a line for a key K of n characters without "=" when the
// line's first "=" stands at n and the upper-cased line contains K followed
// by "=". Such an occurrence starts either at 0, so K is the text before the
// first "=", or after the first "=": one starting at 1 to n would have the
// first "=" inside K. So the line answers exactly to the n characters before
// its first "=", and to the n characters before each later "=" that follows
// at least n characters without "=" (XY=AB=1 answers to XY and to AB), where
// those n characters begin with a character of the line, as the lookup matches
// only there.
bool CLineIndex::AddKeysOfLine(size_t line)
{
    const char* text = LineText(line);
    const char* firstEquals = strchr(text, '=');
    if (!firstEquals)
        return true;
    const size_t keyLength = static_cast<size_t>(firstEquals - text);
    size_t runStart = 0;   // where the run of characters without "=" began
    size_t character = 0;  // where a character of the line begins, walked forward
    for (size_t at = keyLength; text[at]; ++at) {
        if (text[at] != '=')
            continue;
        while (character < at - keyLength)
            character += CodePages::CharacterLength(text + character);
        if (at - runStart >= keyLength && character == at - keyLength) {
            if (!Reserve(m_entries, m_entryCapacity, m_entryCount + 1))
                return false;
            m_entries[m_entryCount++] = {m_lines[line].offset + at - keyLength, keyLength, line, kNone};
        }
        runStart = at + 1;
    }
    return true;
}

bool CLineIndex::BuildTable()
{
    // At most half the slots in use keeps the probe sequences short.
    size_t slotCount = 16;
    while (slotCount < 2 * m_entryCount) {
        if (slotCount > SIZE_MAX / 2 / sizeof(Slot))
            return false;
        slotCount *= 2;
    }
    m_slots = static_cast<Slot*>(malloc(slotCount * sizeof(Slot)));
    if (!m_slots)
        return false;
    m_slotCount = slotCount;
    for (size_t s = 0; s < m_slotCount; ++s)
        m_slots[s] = {kNone, kNone};

    // Entries are in line order, so each chain lists its lines in order.
    for (size_t e = 0; e < m_entryCount; ++e) {
        const char* key = m_text + m_entries[e].keyOffset;
        const size_t length = m_entries[e].keyLength;
        Slot& slot = m_slots[FindSlot(key, length, HashKey(key, length))];
        if (slot.head == kNone)
            slot.head = e;
        else
            m_entries[slot.tail].next = e;
        slot.tail = e;
    }
    return true;
}

size_t CLineIndex::FindSlot(const char* key, size_t keyLength, size_t hash) const
{
    const size_t mask = m_slotCount - 1;
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
        const size_t head = m_slots[s].head;
        if (head == kNone)
            return s;
        const KeyEntry& entry = m_entries[head];
        if (entry.keyLength == keyLength && SameKey(m_text + entry.keyOffset, key, keyLength))
            return s;
    }
}

char* CLineIndex::Find(const char* section, const char* key, char* destination, size_t destinationSize)
{
    if (!m_readable)
        return nullptr;

    // The match texts every lookup builds, with the same limits.
    MatchTexts texts;
    if (!BuildMatchTexts(section, key, texts))
        return nullptr;

    const size_t headerLine = FindHeaderLine(texts);
    if (headerLine == kNone)
        return nullptr;
    // A key holding "=" itself is not what the index is keyed by; such keys
    // (only a DEFAULTINSTALL value can be one) are looked for line by line.
    const size_t line = strchr(key, '=') ? ScanForKeyLine(headerLine, texts) : FindKeyLine(headerLine, texts);
    if (line == kNone)
        return nullptr;

    return TakeValue(LineText(line) + texts.keyLength + 1, destination, destinationSize);
}

size_t CLineIndex::FindSection(const char* section)
{
    MatchTexts texts;
    return m_readable && BuildMatchTexts(section, "", texts) ? FindHeaderLine(texts) : kNone;
}

size_t CLineIndex::FindHeaderLine(const MatchTexts& texts)
{
    if (m_haveLastHeader && strcmp(texts.header, m_lastHeader) == 0)
        return m_lastHeaderLine;
    size_t found = kNone;
    for (size_t line = 0; line < m_lineCount && found == kNone; ++line) {
        if (IsHeaderLine(LineText(line), texts))
            found = line;
    }
    CopyText(m_lastHeader, sizeof m_lastHeader, texts.header);
    m_lastHeaderLine = found;
    m_haveLastHeader = true;
    return found;
}

size_t CLineIndex::FindKeyLine(size_t headerLine, const MatchTexts& texts) const
{
    const Slot& slot = m_slots[FindSlot(texts.keyText, texts.keyLength, HashKey(texts.keyText, texts.keyLength))];
    for (size_t e = slot.head; e != kNone; e = m_entries[e].next) {
        if (m_entries[e].line > headerLine)
            return m_entries[e].line;
    }
    return kNone;
}

size_t CLineIndex::ScanForKeyLine(size_t headerLine, const MatchTexts& texts) const
{
    for (size_t line = headerLine + 1; line < m_lineCount; ++line) {
        if (IsKeyLine(LineText(line), texts))
            return line;
    }
    return kNone;
}
