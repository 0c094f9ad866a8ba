// The package's code page: which one, its characters (one byte or two), and its text converted to and from UTF-8.
#pragma once
#include <cstddef>
#include <cstdint>

namespace CodePages {

// The code page the package's texts are in: on Windows the system's own ANSI
// code page, elsewhere 1252 (Western European, what most packages are made
// in) unless SetCodePage chose another, such as 1250 (Central European),
// 1251 (Cyrillic), 1253 (Greek) or 932 (Japanese). Any single-byte code page
// the system can convert serves, and the double-byte ones 932, 936, 949 and
// 950; false, with the code page unchanged, for one it cannot.
constexpr int kDefaultCodePage = 1252;
bool SetCodePage(int codePage);
int CodePage();
// SetCodePage's last step, once the code page is known to convert: makes it
// the one in use.
void SelectCodePage(int codePage);

// Windows' ANSI code pages, each with its name, in the order the tools' help
// names them: the single-byte ones, then the double-byte ones. The tools
// read every one of them, and besides any OEM code page the system converts
// (on Windows only the system's own).
struct NamedCodePage {
    int number;
    const char* name;
};
constexpr size_t kAnsiCodePageCount = 14;
extern const NamedCodePage kAnsiCodePages[kAnsiCodePageCount];

// The characters of the code page. Text is walked, cut and compared by
// character: in the double-byte code pages (932, 936, 949, 950) a lead byte
// takes the byte after it with it, and that second byte may be "\\", "|" or
// a letter. On Windows the system tells the lead bytes of its code page;
// elsewhere they come from Windows' ranges for the code page.

// True when byte begins a two-byte character. Natively a look-up in the
// table SelectCodePage fills, inline: the description's reader asks it for
// every byte it reads.
#ifdef _WIN32
bool IsLeadByte(unsigned char byte);
#else
extern bool g_leadBytes[256];
inline bool IsLeadByte(unsigned char byte) { return g_leadBytes[byte]; }
#endif

// Whether a byte begins a two-byte character in codePage, by Windows' lead
// byte ranges (the table the POSIX build uses; false for single-byte ones).
bool IsLeadByteOf(int codePage, unsigned char byte);

// True for the code pages with two-byte characters: 932, 936, 949 and 950.
bool IsDoubleByteCodePage(int codePage);

// The bytes of the character at text: 2 for a lead byte with a byte after
// it, 0 at the NUL, else 1. A lead byte just before the NUL stands alone: it
// is half a character, which no name or text may end with.
inline size_t CharacterLength(const char* text)
{
    return *text == '\0' ? 0 : IsLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0' ? 2 : 1;
}
inline const char* NextCharacter(const char* text) { return text + CharacterLength(text); }

// True when text ends with a lead byte that has no byte after it.
bool EndsInHalfCharacter(const char* text);

// True when every byte of text belongs to a character of the code page: no
// half character, no byte or pair that is none. Such a name is refused
// rather than handed to the system, which would make some other character of
// it. On Windows, which reads the names itself, a text without lead bytes
// always is.
bool IsCodePageText(const char* text);

// How many of the first length bytes of text to keep so that at most room
// remain and the cut falls between two characters, never inside one.
size_t WholeCharacters(const char* text, size_t length, size_t room);

// CopyText and AppendText (TextBuffer.h) for text of the code page: a cut
// falls before the first character that does not fit whole.
bool CopyCharacters(char* dst, size_t dstSize, const char* src);
bool AppendCharacters(char* dst, size_t dstSize, const char* src);

// The first (FindCharacter) or the last (FindLastCharacter) single-byte
// character c in text, or null.
const char* FindCharacter(const char* text, char c);
const char* FindLastCharacter(const char* text, char c);

// True when the last character of text is a backslash (a second byte 0x5C
// does not count).
bool EndsWithBackslash(const char* text);

// Case changes touch only the ASCII letters, whatever the locale, and a text
// is changed character by character: a byte of a two-byte character is never
// changed, even where it is a letter.
void UpperCaseAscii(char* text);
void LowerCaseAscii(char* text);

// Compares two texts character by character, without regard to the case of
// the ASCII letters.
bool EqualsNoCase(const char* a, const char* b);

// The character a single byte of the code page stands for (Unicode), as
// Windows reads it; kNoCharacter for a byte that is none (one Windows reads
// as a private-use character, which its own conversion refuses). A lead
// byte, and every byte of a code page the system cannot convert, stands for
// the character of its own number.
constexpr uint32_t kNoCharacter = 0xFFFFFFFF;
uint32_t CodePointOf(unsigned char byte);

// How many of text's first bytes are ASCII that the code page reads as
// itself, up to the first other byte or the NUL.
size_t AsciiRunLength(const char* text);

// Decodes the character of the code page at text[at] (text holds length
// bytes) into codePoint and moves at past it; false, with at unchanged, for
// half a character, or a byte or a pair of bytes that is no character.
bool DecodeAnsi(const char* text, size_t length, size_t& at, uint32_t& codePoint);

// Writes a character in the code page into out (room for 2 bytes), as the
// system's own conversion writes it; returns its length, 0 for none.
size_t EncodeAnsi(uint32_t codePoint, char* out);

// Decodes the UTF-8 character at text[at] (text holds length bytes) into
// codePoint and moves at past it; false, with at unchanged, when the bytes
// there are not UTF-8 (overlong, a surrogate, cut short, ...).
bool DecodeUtf8(const char* text, size_t length, size_t& at, uint32_t& codePoint);

// Writes a character as UTF-8 into out (room for 4 bytes); returns the length.
size_t EncodeUtf8(uint32_t c, char* out);

// Converts text in the code page into UTF-8 in out (outSize bytes, NUL
// included); false when it does not fit or holds bytes that are no character
// of the code page.
bool AnsiToUtf8(const char* ansi, char* out, size_t outSize);

// Converts UTF-8 into the code page; false when it does not fit or holds a
// character that the code page cannot write (or is not UTF-8).
bool Utf8ToAnsi(const char* utf8, char* out, size_t outSize);

#ifdef _WIN32
// Converts UTF-16 text, as Windows hands what a user typed or picked, into
// the system's code page without a lookalike for any character
// (WC_NO_BEST_FIT_CHARS, and no default character used): false when a
// character has no place in the code page, or out is too small. Never
// "Lodz" for "Łódź", nor "\" for a full-width backslash. (Natively the
// system's text is UTF-8: Utf8ToAnsi.)
bool WideToAnsi(const wchar_t* wide, char* out, size_t outSize);
#endif

}  // namespace CodePages
