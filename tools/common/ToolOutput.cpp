#include "ToolOutput.h"

#include <cstdio>

#include "FileSystem.h"
#include "WindowsNames.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

std::string Shown(const std::string& packageText, ShowAs kind)
{
    std::string shown;
    for (size_t i = 0; i < packageText.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(packageText[i]);
#ifndef _WIN32
        if (kind == ShowAs::Path && byte == '\\')
            byte = '/';
#endif
        const uint32_t c = WindowsNames::CodePointOf(byte);
        const bool lineEnd = c == '\n' || c == '\t' || (c == '\r' && i + 1 < packageText.size() && packageText[i + 1] == '\n');
        if ((c < 0x20 || (c >= 0x7F && c < 0xA0)) && !(kind == ShowAs::Lines && lineEnd)) {
            char escape[8];
            snprintf(escape, sizeof escape, "<%02X>", static_cast<unsigned>(c));
            shown += escape;
            continue;
        }
#ifdef _WIN32
        shown += static_cast<char>(byte);
#else
        char utf8[4];
        shown.append(utf8, WindowsNames::EncodeUtf8(c, utf8));
#endif
    }
    return shown;
}

std::string TextQuoted(const std::string& packageText)
{
    return "\"" + Shown(packageText) + "\"";
}

std::string PathQuoted(const std::string& installerPath)
{
    return "\"" + Shown(installerPath, ShowAs::Path) + "\"";
}

std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens)
{
    std::string out = "plan for " + PathQuoted(plan.target) + "\n";
    for (const PlanStep& step : plan.steps) {
        const std::string index = std::to_string(step.index);
        if (step.action == EntryAction::Open) {
            out += "  open " + index + " " + PathQuoted(step.source) + "\n";
            ++opens;
        } else if (step.tooLong != StepPath::None) {
            out += "  skip " + index + " " + PathQuoted(step.source) + " -> " + PathQuoted(step.destPath) +
                   ": path too long (" + std::to_string(step.destPath.size()) + " characters)\n";
        } else {
            out += "  copy " + index + " " + PathQuoted(step.source) + " -> " + PathQuoted(step.destPath) + "\n";
            ++copies;
        }
    }
    return out;
}

std::string ErrorMessage(int code)
{
    char text[512];
    Platform::DescribeError(code, text, sizeof text);
    return text;
}

void UseBinaryStandardStreams()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}
