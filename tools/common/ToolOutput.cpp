#include "common/ToolOutput.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "platform/Platform.h"
#include "codepages/CodePages.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// The separator a path is shown with: the system's.
#ifdef _WIN32
constexpr char kShownSeparator = '\\';
#else
constexpr char kShownSeparator = '/';
#endif

bool IsControlCharacter(uint32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

namespace {

// The one escape: a control character as <XX>, its number in hex.
void AppendEscaped(std::string& shown, uint32_t c)
{
    char escape[8];
    snprintf(escape, sizeof escape, "<%02X>", static_cast<unsigned>(c));
    shown += escape;
}

// Text of the system in UTF-8, shown as Shown shows package text: controls
// as <XX>, and every byte that is no UTF-8 as <XX> too.
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

}  // namespace

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
            const size_t start = shown.size();
            shown.append(text + i, plain - i);
            if (kind == ShowAs::Path)
                std::replace(shown.begin() + static_cast<std::ptrdiff_t>(start), shown.end(), '\\', kShownSeparator);
            i = plain;
            continue;
        }
        const size_t start = i;
        uint32_t c;
        if (!CodePages::DecodeAnsi(text, length, i, c)) {
            // Half a character, or two bytes that write none: each byte as <XX>.
            const size_t bytes = CodePages::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length &&
                                         text[i + 1] != '\0' ? 2 : 1;
            for (; i < start + bytes; ++i)
                AppendEscaped(shown, static_cast<unsigned char>(text[i]));
            continue;
        }
        const bool lineEnd = c == '\n' || c == '\t' || (c == '\r' && i < length && text[i] == '\n');
        if (IsControlCharacter(c) && !(kind == ShowAs::Lines && lineEnd)) {
            AppendEscaped(shown, c);
            continue;
        }
#ifdef _WIN32
        shown.append(text + start, i - start);
#else
        char utf8[4];
        shown.append(utf8, CodePages::EncodeUtf8(c, utf8));
#endif
    }
    return shown;
}

std::string Quoted(const std::string& packageText)
{
    if (CodePages::EndsInHalfCharacter(packageText.c_str()))
        return "\"" + packageText.substr(0, packageText.size() - 1) + Shown(packageText.substr(packageText.size() - 1)) + "\"";
    return "\"" + packageText + "\"";
}

std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens)
{
    std::string out = "plan for " + Shown(Quoted(plan.target), ShowAs::Path) + "\n";
    for (const PlanStep& step : plan.steps) {
        const std::string index = std::to_string(step.index);
        if (step.action == EntryAction::Open) {
            out += "  open " + index + " " + Shown(Quoted(step.source), ShowAs::Path) + "\n";
            ++opens;
        } else if (step.tooLong != StepPath::None) {
            out += "  skip " + index + " " + Shown(Quoted(step.source), ShowAs::Path) + " -> " + Shown(Quoted(step.destPath), ShowAs::Path) +
                   ": path too long (" + std::to_string(step.destPath.size()) + " characters)\n";
        } else {
            out += "  copy " + index + " " + Shown(Quoted(step.source), ShowAs::Path) + " -> " + Shown(Quoted(step.destPath), ShowAs::Path) + "\n";
            ++copies;
        }
    }
    return out;
}

std::string ErrorMessage(int code)
{
    char text[512];
    Platform::DescribeError(code, text, sizeof text);
    return ShownSystemText(text);
}

std::string ErrorMessage(const std::error_code& error)
{
    return ShownSystemText(error.message());
}

std::string LoadFailureText(const LoadFailure& failure)
{
    const std::string file = failure.path ? Shown(failure.path, ShowAs::Path) : "the description";
    const std::string reason = ErrorMessage(failure.systemError);
    switch (failure.stage) {
    case LoadStage::Open: return file + ": " + reason;
    case LoadStage::Read: return file + " cannot be read: " + reason;
    case LoadStage::Memory: return file + " does not fit in memory: " + reason;
    case LoadStage::None: break;
    }
    return file + ": " + reason;
}

std::string ShownSystemText(const std::string& text, Quotes quotes)
{
#ifdef _WIN32
    return InQuotes(Shown(text), quotes);
#else
    return InQuotes(ShownUtf8(text), quotes);
#endif
}

std::string ShownSystemPath(const std::filesystem::path& path, Quotes quotes)
{
#ifdef _WIN32
    // The code page never takes more bytes for a character than UTF-8 does.
    const std::string utf8 = path.u8string();
    std::string text(utf8.size() + 1, '\0');
    if (CodePages::Utf8ToAnsi(utf8.c_str(), &text[0], text.size()))
        return InQuotes(Shown(text.c_str()), quotes);
    return InQuotes(ShownUtf8(utf8), quotes);
#else
    return ShownSystemText(path.native(), quotes);
#endif
}

void UseBinaryStandardStreams()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}
