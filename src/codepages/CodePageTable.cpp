// The package's code page: the character each of its bytes, or pairs of
// bytes, stands for, as the system's own conversion gives it (CConversion:
// iconv, or MultiByteToWideChar), and the bytes that write each character.
#include "codepages/CodePages.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "codepages/CodePageConversion.h"

namespace CodePages {

namespace {

// A character and the bytes that write it (one byte, or lead << 8 | trail).
struct Encoding {
    uint32_t codePoint;
    uint32_t bytes;
};

struct CodePageTable {
    int codePage = 0;  // 0 until first use
    // The character of every single byte; kNoCharacter for none.
    uint32_t chars[256] = {};
    // Double-byte code pages: the character of every pair, at lead << 8 |
    // trail; 0 for a pair that writes none.
    uint32_t* pairs = nullptr;
    // Made on first need: every character the code page writes in more than
    // one byte or outside ASCII, ordered by code point.
    Encoding* encodings = nullptr;
    size_t encodingCount = 0;
};

// The tables filled so far, each kept for the rest of the run, so that a
// code page chosen again costs nothing; and the one in use. The tools choose
// the code page before any thread starts; kivpack writes names, and kivcheck
// checks them, on several threads, so the table filled on first need and
// its encodings are made under g_tablesLock, and the table in use is read
// without it.
constexpr size_t kKeptTables = 8;
CodePageTable g_tables[kKeptTables];
size_t g_tableCount = 0;
std::atomic<CodePageTable*> g_table{nullptr};
std::mutex g_tablesLock;

void Release(CodePageTable& table)
{
    free(table.pairs);
    free(table.encodings);
    table.pairs = nullptr;
    table.encodings = nullptr;
    table.encodingCount = 0;
}

// Fills table for codePage: the character of every single byte and, for a
// double-byte code page, of every pair, as Windows reads them (MatchWindows).
// False when the system cannot convert the code page, or it has characters
// of more bytes than the tools know.
bool Fill(int codePage, CodePageTable& table)
{
    CConversion decode(codePage, false);
    if (!decode.IsOpen())
        return false;
    bool known = true;
    bool doubleByte = false;
    for (int byte = 0; byte < 256; ++byte) {
        const unsigned char in = static_cast<unsigned char>(byte);
        const bool lead = IsLeadByteOf(codePage, in);
        doubleByte = doubleByte || lead;
        uint32_t c = byte;
        if (!lead && !decode.Decode(&in, 1, c)) {
            c = kNoCharacter;
            // A byte that starts a longer character in a code page whose lead
            // bytes the tools do not know.
            known = known && !decode.StartsLonger(in);
        }
        table.chars[byte] = c;
    }
    if (!known || table.chars[static_cast<unsigned char>('A')] != 'A')
        return false;
    if (doubleByte) {
        table.pairs = static_cast<uint32_t*>(calloc(0x10000, sizeof *table.pairs));
        if (!table.pairs)
            return false;
        for (int lead = 0x80; lead < 256; ++lead) {
            if (!IsLeadByteOf(codePage, static_cast<unsigned char>(lead)))
                continue;
            // No code page has a second byte below 0x40.
            for (int trail = 0x40; trail < 256; ++trail) {
                const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                uint32_t c;
                if (decode.Decode(in, 2, c) && c != 0)
                    table.pairs[lead << 8 | trail] = c;
            }
        }
    }
    MatchWindows(codePage, table.chars, table.pairs);
    table.codePage = codePage;
    return true;
}

// The kept table of codePage, filled now if it is not yet; null when the
// system cannot convert the code page.
CodePageTable* Kept(int codePage)
{
    for (size_t i = 0; i < g_tableCount; ++i) {
        if (g_tables[i].codePage == codePage)
            return &g_tables[i];
    }
    // When all are in use, the last one that is not in use gives way.
    CodePageTable* slot =
        g_tableCount < kKeptTables
            ? &g_tables[g_tableCount]
            : &g_tables[g_table.load() == &g_tables[kKeptTables - 1] ? kKeptTables - 2 : kKeptTables - 1];
    CodePageTable table;
    if (codePage <= 0 || !Fill(codePage, table)) {
        Release(table);
        return nullptr;
    }
    if (slot == &g_tables[g_tableCount])
        ++g_tableCount;
    Release(*slot);
    *slot = table;
    return slot;
}

CodePageTable& Table()
{
    CodePageTable* table = g_table.load(std::memory_order_acquire);
    if (table && table->codePage == CodePage())
        return *table;
    const std::lock_guard<std::mutex> guard(g_tablesLock);
    table = g_table.load(std::memory_order_relaxed);
    if (!table || table->codePage != CodePage()) {
        table = Kept(CodePage());
        if (!table) {
            // A code page the system cannot convert: each byte stands for the
            // character of its own number.
            static CodePageTable bytes;
            for (int byte = 0; byte < 256; ++byte)
                bytes.chars[byte] = static_cast<uint32_t>(byte);
            bytes.codePage = CodePage();
            table = &bytes;
        }
        g_table.store(table, std::memory_order_release);
    }
    return *table;
}

int CompareEncodings(const void* a, const void* b)
{
    const uint32_t x = static_cast<const Encoding*>(a)->codePoint, y = static_cast<const Encoding*>(b)->codePoint;
    return x < y ? -1 : x > y ? 1 : 0;
}

// Every character outside ASCII that the code page writes, with the bytes the
// system writes it with, where two spellings decode to it. False when memory
// runs out.
bool MakeEncodings(CodePageTable& table)
{
    const size_t most = 256 + (table.pairs ? 0x10000 : 0);
    Encoding* encodings = static_cast<Encoding*>(malloc(most * sizeof *encodings));
    if (!encodings)
        return false;
    size_t count = 0;
    for (uint32_t bytes = 0x80; bytes < most; ++bytes) {
        const bool pair = bytes >= 256;
        const uint32_t index = pair ? bytes - 256 : bytes;
        const uint32_t c = pair                                                              ? table.pairs[index]
                           : IsLeadByteOf(table.codePage, static_cast<unsigned char>(index)) ? 0
                                                                                             : table.chars[index];
        if (c != 0 && c != kNoCharacter)
            encodings[count++] = {c, index};
    }
    qsort(encodings, count, sizeof *encodings, CompareEncodings);
    // One spelling per character: the one the system writes it with, if it
    // decodes back to the character, else the first.
    CConversion encode(table.codePage, true);
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        if (kept > 0 && encodings[kept - 1].codePoint == encodings[i].codePoint)
            continue;
        Encoding chosen = encodings[i];
        const uint32_t written = encode.IsOpen() ? encode.Encode(chosen.codePoint) : 0;
        for (size_t j = i; j < count && encodings[j].codePoint == chosen.codePoint; ++j) {
            if (encodings[j].bytes == written)
                chosen.bytes = written;
        }
        encodings[kept++] = chosen;
    }
    table.encodings = encodings;
    table.encodingCount = kept;
    return true;
}

}  // namespace

bool SetCodePage(int codePage)
{
    const std::lock_guard<std::mutex> guard(g_tablesLock);
    CodePageTable* table = Kept(codePage);
    if (!table)
        return false;
    g_table.store(table, std::memory_order_release);
    SelectCodePage(codePage);
    return true;
}

uint32_t CodePointOf(unsigned char byte) { return Table().chars[byte]; }

size_t AsciiRunLength(const char* text)
{
    const CodePageTable& table = Table();
    size_t length = 0;
    for (unsigned char c; (c = static_cast<unsigned char>(text[length])) != 0 && c < 0x80 && table.chars[c] == c;)
        ++length;
    return length;
}

bool DecodeAnsi(const char* text, size_t length, size_t& at, uint32_t& codePoint)
{
    const CodePageTable& table = Table();
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (!IsLeadByte(lead)) {
        if (table.chars[lead] == kNoCharacter)
            return false;
        codePoint = table.chars[lead];
        ++at;
        return true;
    }
    if (at + 1 >= length || text[at + 1] == '\0' || !table.pairs)
        return false;
    const uint32_t c = table.pairs[lead << 8 | static_cast<unsigned char>(text[at + 1])];
    if (c == 0)
        return false;
    codePoint = c;
    at += 2;
    return true;
}

size_t EncodeAnsi(uint32_t codePoint, char* out)
{
    CodePageTable& table = Table();
    // ASCII stands for itself in every code page the tools take.
    if (codePoint < 0x80 && table.chars[codePoint] == codePoint) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    const Encoding* encodings;
    size_t count;
    {
        const std::lock_guard<std::mutex> guard(g_tablesLock);
        if (!table.encodings && !MakeEncodings(table))
            return 0;
        encodings = table.encodings;
        count = table.encodingCount;
    }
    const Encoding key = {codePoint, 0};
    const Encoding* found = static_cast<const Encoding*>(bsearch(&key, encodings, count, sizeof key, CompareEncodings));
    if (!found)
        return 0;
    if (found->bytes < 256) {
        out[0] = static_cast<char>(found->bytes);
        return 1;
    }
    out[0] = static_cast<char>(found->bytes >> 8);
    out[1] = static_cast<char>(found->bytes & 0xFF);
    return 2;
}

}  // namespace CodePages
