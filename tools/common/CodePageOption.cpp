#include "common/CodePageOption.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "codepages/CodePages.h"

namespace {

// A code page's number and name as one word of the help: "~" holds them
// together on one line.
std::string HelpWord(const CodePages::NamedCodePage& page)
{
    std::string word = std::to_string(page.number) + "~" + page.name;
    std::replace(word.begin(), word.end(), ' ', '~');
    return word;
}

}  // namespace

std::string CodePageHelp(size_t column)
{
    std::string description = "the Windows code page of the package's texts and names: ";
    for (const CodePages::NamedCodePage& page : CodePages::kAnsiCodePages) {
        if (page.number == CodePages::kDefaultCodePage)
            description += HelpWord(page) + " (the default), ";
    }
    for (const CodePages::NamedCodePage& page : CodePages::kAnsiCodePages) {
        if (page.number != CodePages::kDefaultCodePage)
            description += HelpWord(page) + ", ";
    }
    description += "or an OEM code page such as 437~or~850; on Windows only the system's own code page";
    constexpr size_t kWidth = 79;
    std::string help = "  --codepage N", line;
    help.append(column - help.size(), ' ');
    for (size_t at = 0; at < description.size();) {
        size_t end = description.find(' ', at);
        if (end == std::string::npos)
            end = description.size();
        std::string word = description.substr(at, end - at);
        std::replace(word.begin(), word.end(), '~', ' ');
        if (!line.empty() && column + line.size() + 1 + word.size() > kWidth) {
            help += line + "\n" + std::string(column, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return help + line + "\n";
}

std::string AnsiCodePageNumbers()
{
    std::vector<int> numbers;
    for (const CodePages::NamedCodePage& page : CodePages::kAnsiCodePages)
        numbers.push_back(page.number);
    std::sort(numbers.begin(), numbers.end(), [](int a, int b) {
        return std::make_pair(CodePages::IsDoubleByteCodePage(a), a) <
               std::make_pair(CodePages::IsDoubleByteCodePage(b), b);
    });
    std::string text;
    for (size_t first = 0; first < numbers.size();) {
        size_t last = first;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1)
            ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(numbers[first]);
        if (last - first >= 2) {
            text += " to " + std::to_string(numbers[last]);
            first = last + 1;
        } else {
            ++first;
        }
    }
    return text;
}
