#include "common/Shown.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "codepages/CodePages.h"
#include "common/SystemText.h"

bool IsControlCharacter(uint32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

void AppendEscaped(std::string& shown, uint32_t c)
{
    char escape[8];
    snprintf(escape, sizeof escape, "<%02X>", static_cast<unsigned>(c));
    shown += escape;
}

std::string Shown(const std::string& packageText, ShowAs kind)
{
    std::string shown;
    shown.reserve(packageText.size());
    const char* text = packageText.data();
    const size_t length = packageText.size();
    for (size_t i = 0; i < length;) {
        // A run of printable ASCII is itself in every code page (a byte
        // below 0x80 where a character starts is one character) and in UTF-8;
        // in a path each backslash in it is a separator.
        size_t plain = i;
        while (plain < length && text[plain] >= 0x20 && text[plain] < 0x7F)
            ++plain;
        if (plain > i) {
            const size_t from = shown.size();
            shown.append(text + i, plain - i);
            if (kind == ShowAs::Path)
                std::replace(shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end(), '\\', kSystemSeparator);
            i = plain;
            continue;
        }
        const size_t start = i;
        uint32_t c;
        if (!CodePages::DecodeAnsi(text, length, i, c)) {
            // Half a character, or two bytes that write none: each byte as <XX>.
            const size_t bytes =
                CodePages::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length && text[i + 1] != '\0' ? 2
                                                                                                                    : 1;
            for (; i < start + bytes; ++i)
                AppendEscaped(shown, static_cast<unsigned char>(text[i]));
            continue;
        }
        const bool lineEnd = c == '\n' || c == '\t' || (c == '\r' && i < length && text[i] == '\n');
        if (IsControlCharacter(c) && !(kind == ShowAs::Lines && lineEnd))
            AppendEscaped(shown, c);
        else
            AppendInSystemForm(shown, text + start, i - start, c, kind);
    }
    return shown;
}

std::string Quoted(const std::string& packageText)
{
    if (CodePages::EndsInHalfCharacter(packageText.c_str()))
        return "\"" + packageText.substr(0, packageText.size() - 1) +
               Shown(packageText.substr(packageText.size() - 1)) + "\"";
    return "\"" + packageText + "\"";
}
