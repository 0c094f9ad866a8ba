#include "common/SystemText.h"

#include "codepages/CodePages.h"

std::string ShownUtf8(const std::string& utf8)
{
    std::string shown;
    for (size_t at = 0; at < utf8.size();) {
        const size_t start = at;
        uint32_t c;
        if (!CodePages::DecodeUtf8(utf8.data(), utf8.size(), at, c)) {
            AppendEscaped(shown, static_cast<unsigned char>(utf8[at++]));
        } else if (IsControlCharacter(c)) {
            AppendEscaped(shown, c);
        } else {
            shown.append(utf8, start, at - start);
        }
    }
    return shown;
}

std::string InQuotes(const std::string& shown, Quotes quotes)
{
    return quotes == Quotes::With ? "\"" + shown + "\"" : shown;
}
