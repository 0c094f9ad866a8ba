#include "TextWriter.h"

#include <cstdio>

#include "PackageChecks.h"

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

namespace {

std::string Field(const char* name, const std::string& value)
{
    // Names in one column, values from the 19th.
    std::string line = "  " + std::string(name);
    line.append(line.size() < 18 ? 18 - line.size() : 1, ' ');
    return line + value + "\n";
}

std::string Plural(size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string WritePlanText(const CheckReport& report, size_t& copies, size_t& opens)
{
    std::string out = "plan for " + TextQuoted(report.target) + "\n";
    for (const PlanStep& step : report.plan) {
        const std::string index = std::to_string(step.index);
        if (step.op == PlanStep::Op::Open) {
            out += "  open " + index + " " + TextQuoted(step.source) + "\n";
            ++opens;
        } else if (step.skipped) {
            out += "  skip " + index + " " + TextQuoted(step.source) + " -> " + TextQuoted(step.destPath) +
                   ": path too long (" + std::to_string(step.destPath.size()) + " characters)\n";
        } else {
            out += "  copy " + index + " " + TextQuoted(step.source) + " -> " + TextQuoted(step.destPath) + "\n";
            ++copies;
        }
    }
    return out;
}

std::string WriteText(const CheckReport& report)
{
    if (!report.loaded)
        return "";
    std::string out = "setup.inf\n";
    out += Field("DEFAULTINSTALL", TextQuoted(report.defaultInstall));
    out += Field("section", TextQuoted(report.section));
    out += Field("Copyright", TextQuoted(report.copyright));
    out += Field("Title", TextQuoted(report.title));
    out += Field("InstallText", TextQuoted(report.installText));
    out += Field("DefaultDir", TextQuoted(report.defaultDir));
    out += "list.inf\n";
    out += Field("Count", std::to_string(report.count));
    out += Field("entries", std::to_string(report.files.size()));

    for (size_t i = 0; i < report.files.size(); ++i) {
        const FileEntry& entry = report.files[i];
        out += "  " + std::to_string(i) + " " + FileKeyName(i) + ": source " + TextQuoted(entry.szSource) +
               ", file name " + TextQuoted(entry.szFileName) + ", destination " + TextQuoted(entry.szDest) +
               ", action " + TextQuoted(entry.szAction) + ", number " + std::to_string(entry.nNumber) + "\n";
    }

    size_t copies = 0, opens = 0;
    if (report.hasTarget)
        out += WritePlanText(report, copies, opens);

    if (!report.warnings.empty()) {
        out += "warnings\n";
        for (const CheckWarning& warning : report.warnings)
            out += "  " + warning.code + ": " + warning.message + "\n";
    }

    std::string summary = "loaded: " + Plural(report.files.size(), "entry", "entries");
    if (report.hasTarget)
        summary += ", " + std::to_string(copies) + " to copy, " + std::to_string(opens) + " to open";
    summary += report.warnings.empty() ? ", no warnings" : ", " + Plural(report.warnings.size(), "warning", "warnings");
    return out + summary + "\n";
}
