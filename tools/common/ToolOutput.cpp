#include "ToolOutput.h"

#include <cstdio>

#include "FileSystem.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

std::string TextQuoted(const std::string& bytes)
{
    std::string text = "\"";
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            snprintf(escape, sizeof escape, "<%02X>", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens)
{
    std::string out = "plan for " + TextQuoted(plan.target) + "\n";
    for (const PlanStep& step : plan.steps) {
        const std::string index = std::to_string(step.index);
        if (step.action == EntryAction::Open) {
            out += "  open " + index + " " + TextQuoted(step.source) + "\n";
            ++opens;
        } else if (step.tooLong != StepPath::None) {
            out += "  skip " + index + " " + TextQuoted(step.source) + " -> " + TextQuoted(step.destPath) +
                   ": path too long (" + std::to_string(step.destPath.size()) + " characters)\n";
        } else {
            out += "  copy " + index + " " + TextQuoted(step.source) + " -> " + TextQuoted(step.destPath) + "\n";
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
