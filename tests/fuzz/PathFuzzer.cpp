// Feeds arbitrary paths through Windows' reading of them, in code page 1252 or (first byte odd) 932: dots
// resolved in a text never longer than the path and its closing separator, with no empty level and no "."
// level left, levels found character by character; text that is characters of the code page round-trips
// through UTF-8 (in 1252 all text is, byte for byte); a name matches itself whatever its case.
#include <cstring>
#include <string>

#include "windowsnames/WindowsNames.h"

namespace {

// Whether a level of normal, walked by characters, is empty or ".".
bool HasEmptyOrDotLevel(const char* normal)
{
    const char* level = normal;
    for (const char* at = normal;; at = CodePages::NextCharacter(at)) {
        if (*at == '\\' || *at == '\0') {
            const size_t length = static_cast<size_t>(at - level);
            if ((length == 0 && *at && at != normal) || (length == 1 && level[0] == '.' && at - normal > 1))
                return true;
            if (!*at)
                return false;
            level = at + 1;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    CodePages::SetCodePage(data[0] & 1 ? 932 : CodePages::kDefaultCodePage);
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::string path(text, strnlen(text, size - 1));
    std::string normal(path.size() + 2, '\0'), utf8(3 * path.size() + 1, '\0'), back(path.size() + 1, '\0');
    if (!WindowsNames::NormalisePath(path.c_str(), &normal[0], normal.size()) || HasEmptyOrDotLevel(normal.c_str()))
        __builtin_trap();
    const bool isText = CodePages::AnsiToUtf8(path.c_str(), &utf8[0], utf8.size());
    if (isText != CodePages::IsCodePageText(path.c_str()) || (CodePages::CodePage() == 1252 && !isText))
        __builtin_trap();
    if (!isText)
        return 0;
    // Written back, the text reads as the same characters (in 932 two spellings may write one character,
    // as the NEC and IBM rows do).
    std::string again(utf8.size(), '\0');
    if (!CodePages::Utf8ToAnsi(utf8.c_str(), &back[0], back.size()) ||
        !CodePages::AnsiToUtf8(back.c_str(), &again[0], again.size()) || strcmp(again.c_str(), utf8.c_str()) != 0 ||
        (CodePages::CodePage() == 1252 && back.c_str() != path))
        __builtin_trap();
    std::string folded = path;
    WindowsNames::FoldAnsiCase(&folded[0]);
    std::string foldedUtf8(3 * path.size() + 1, '\0');
    CodePages::AnsiToUtf8(folded.c_str(), &foldedUtf8[0], foldedUtf8.size());
    if (WindowsNames::FoldedUtf8Name(utf8.c_str()) != WindowsNames::FoldedUtf8Name(foldedUtf8.c_str()))
        __builtin_trap();
    return 0;
}
