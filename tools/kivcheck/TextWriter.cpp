#include "kivcheck/TextWriter.h"

#include "checks/PackageChecks.h"
#include "common/PlanText.h"
#include "common/Shown.h"

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

std::string WriteText(const CheckReport& report)
{
    if (!report.loaded)
        return "";
    std::string out = "setup.inf\n";
    // Each value under its key; the install section's name has none of its own, and goes by its name.
    for (size_t i = 0; i < kSetupValueCount; ++i)
        out += Field(kSetupValues[i].key ? kSetupValues[i].key : kSetupValues[i].name,
                     Shown(Quoted(report.setupTexts[i])));
    out += "list.inf\n";
    out += Field("Count", std::to_string(report.count));
    out += Field("entries", std::to_string(report.files.size()));

    for (size_t i = 0; i < report.files.size(); ++i) {
        const FileEntry& entry = report.files[i];
        out += "  " + std::to_string(i) + " " + FileKeyName(i) + ": source " + Shown(Quoted(entry.szSource)) +
               ", file name " + Shown(Quoted(entry.szFileName)) + ", destination " + Shown(Quoted(entry.szDest)) +
               ", action " + Shown(Quoted(entry.szAction)) + ", number " + std::to_string(entry.nNumber) + "\n";
    }

    size_t copies = 0, opens = 0;
    if (report.plan)
        out += WritePlanText(*report.plan, copies, opens);

    if (!report.warnings.empty()) {
        out += "warnings\n";
        for (const CheckWarning& warning : report.warnings)
            out += "  " + warning.code + ": " + Shown(warning.message) + "\n";
    }

    std::string summary = "loaded: " + Plural(report.files.size(), "entry", "entries");
    if (report.plan)
        summary += ", " + std::to_string(copies) + " to copy, " + std::to_string(opens) + " to open";
    summary += report.warnings.empty() ? ", no warnings" : ", " + Plural(report.warnings.size(), "warning", "warnings");
    return out + summary + "\n";
}
