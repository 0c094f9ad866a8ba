// How Windows reads the names in a path: its separators, the names it keeps
// for devices, letter case, and the ANSI code page of the package files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace WindowsNames {

// Windows takes both the backslash and the slash as a separator of levels.
// Only a byte that stands as a character of its own separates: in a
// double-byte code page the second byte of a character may be 0x5C.
inline bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The characters of the package's code page. Text is walked, cut and
// compared by character: in the double-byte code pages (932, 936, 949, 950)
// a lead byte takes the byte after it with it, and that second byte may be
// "\\", "|" or a letter. On Windows the system tells the lead bytes of its
// code page; elsewhere they come from Windows' ranges for the code page.

// True when byte begins a two-byte character. Natively a look-up in the
// table SelectCodePage fills, inline: the description's reader asks it for
// every byte it reads.
#ifdef _WIN32
bool IsLeadByte(unsigned char byte);
#else
extern bool g_leadBytes[256];
inline bool IsLeadByte(unsigned char byte)
{
    return g_leadBytes[byte];
}
#endif

// Whether a byte begins a two-byte character in codePage, by Windows' lead
// byte ranges (the table the POSIX build uses; false for single-byte ones).
bool IsLeadByteOf(int codePage, unsigned char byte);

// The bytes of the character at text: 2 for a lead byte with a byte after
// it, 0 at the NUL, else 1. A lead byte just before the NUL stands alone: it
// is half a character, which no name or text may end with.
inline size_t CharacterLength(const char* text)
{
    return *text == '\0' ? 0 : IsLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0' ? 2 : 1;
}
inline const char* NextCharacter(const char* text)
{
    return text + CharacterLength(text);
}

// True when text ends with a lead byte that has no byte after it.
bool EndsInHalfCharacter(const char* text);

// True when every byte of text belongs to a character of the code page: no
// half character, no pair the code page does not define. Such a name is
// refused rather than handed to the system, which would make some other
// character of it. A text without lead bytes always is.
bool IsCodePageText(const char* text);

// How many of the first length bytes of text to keep so that at most room
// remain and the cut falls between two characters, never inside one.
size_t WholeCharacters(const char* text, size_t length, size_t room);

// The first (FindCharacter) or the last (FindLastCharacter) single-byte
// character c in text, or null.
const char* FindCharacter(const char* text, char c);
const char* FindLastCharacter(const char* text, char c);

// True when the last character of text is a backslash (a second byte 0x5C
// does not count).
bool EndsWithBackslash(const char* text);

// Resolves "." and ".." in the text, as Windows does before it looks any
// level up, and writes every separator as a backslash; empty levels go. A
// ".." above the start of a relative path stays at its front; above the root
// of an absolute path (or a drive, "C:") is that root. A relative path that
// resolves to nothing is ".". A closing separator stays. False when out
// (outSize bytes) is too small.
bool NormalisePath(const char* path, char* out, size_t outSize);

// True when one level of a path (length characters, no separator) names a
// device in every directory: CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9
// (also with the superscript digits 1, 2 and 3 of the code page: COM¹, LPT³),
// in any case, also followed by an extension or by blanks.
bool IsDeviceName(const char* name, size_t length);

// True when a path (either separator) has a device name as any level.
bool HasDeviceName(const char* path);

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

// The character a single byte of the code page stands for (Unicode); a byte
// the code page leaves undefined stands for the character of its own number.
uint32_t CodePointOf(unsigned char byte);

// Decodes the character of the code page at text[at] (text holds length
// bytes) into codePoint and moves at past it; false, with at unchanged, for
// half a character or a pair of bytes the code page does not define.
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

// Folds text in the code page as Windows compares file names: every letter
// of a pair that Windows takes for one (A and a, \xC4 and \xE4, full-width
// A and a, ...) becomes the same character, the small letter where the code
// page has it. A character that is no character of the code page stays.
void FoldAnsiCase(char* text);

// The form of a UTF-8 name (length bytes) under which every spelling that
// Windows takes for the same file name, whatever its letter case, is alike;
// bytes that are not UTF-8 stay as they are. Written into out, which has
// room for kFoldRoom * length + 1 bytes, NUL-terminated; returns its length.
constexpr size_t kFoldRoom = 2;
size_t FoldUtf8Name(const char* name, size_t length, char* out);
std::string FoldedUtf8Name(const std::string& name);

// Whether letter case outside ASCII can be told apart here: POSIX systems
// need the C library's C.UTF-8 locale for it. Without it, only the ASCII
// letters fold.
bool CanFoldCase();

// Compares two UTF-8 names as Windows compares file names: without regard to
// letter case (Ä and ä, Ж and ж, Σ, σ and ς alike).
// Bytes that are not UTF-8 must match exactly.
bool SameNameIgnoringCase(const char* a, size_t aLength, const char* b, size_t bLength);

}  // namespace WindowsNames
