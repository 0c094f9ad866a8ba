#include "kivcheck/JsonWriter.h"

#include <cstdio>

#include "common/Shown.h"
#include "setupinfo/SetupInfo.h"

std::string JsonString(const std::string& bytes)
{
    std::string json = "\"";
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (byte) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\b':
                json += "\\b";
                break;
            case '\f':
                json += "\\f";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                // The byte is the character of its number: C0, DEL and C1 (which
                // terminals read as CSI, OSC and the like) as \u00xx, so that no
                // control acts on a terminal that shows the JSON.
                if (IsControlCharacter(byte)) {
                    char escape[8];
                    snprintf(escape, sizeof escape, "\\u%04x", byte);
                    json += escape;
                } else if (byte < 0x80) {
                    json += c;
                } else {
                    // U+00A0-U+00FF in two bytes of UTF-8.
                    json += static_cast<char>(0xC0 | byte >> 6);
                    json += static_cast<char>(0x80 | (byte & 0x3F));
                }
        }
    }
    return json + "\"";
}

namespace {

// Writes "key": value pairs separated the way the contract shows them.
class CJsonObject {
public:
    explicit CJsonObject(std::string& out) : m_out(out) { m_out += "{"; }
    void Raw(const char* key, const std::string& value)
    {
        m_out += m_first ? "\"" : ", \"";
        m_out += key;
        m_out += "\": ";
        m_out += value;
        m_first = false;
    }
    void String(const char* key, const std::string& value) { Raw(key, JsonString(value)); }
    void Number(const char* key, long long value) { Raw(key, std::to_string(value)); }
    void Close() { m_out += "}"; }

private:
    std::string& m_out;
    bool m_first = true;
};

// A JSON array with one object per item, each written by writeFields.
template <typename Item, typename WriteFields>
std::string ObjectArray(const std::vector<Item>& items, WriteFields writeFields)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        CJsonObject object(out);
        writeFields(object, items[i]);
        object.Close();
    }
    return out + "]";
}

std::string FileArray(const std::vector<FileEntry>& files)
{
    return ObjectArray(files, [](CJsonObject& file, const FileEntry& entry) {
        file.String("source", entry.szSource);
        file.String("fileName", entry.szFileName);
        file.String("dest", entry.szDest);
        file.String("action", entry.szAction);
        file.Number("number", entry.nNumber);
    });
}

std::string WarningArray(const std::vector<CheckWarning>& warnings)
{
    return ObjectArray(warnings, [](CJsonObject& warning, const CheckWarning& item) {
        warning.String("code", item.code);
        warning.String("message", item.message);
    });
}

std::string PlanArray(const std::vector<PlanStep>& plan)
{
    return ObjectArray(plan, [](CJsonObject& object, const PlanStep& step) {
        object.String("op", step.action == EntryAction::Copy ? "copy" : "open");
        object.Number("index", static_cast<long long>(step.index));
        object.String("source", step.source);
        if (step.action == EntryAction::Copy) {
            object.String("entryDir", step.entryDir);
            object.String("destPath", step.destPath);
            if (step.tooLong != StepPath::None)
                object.String("skipped", "path too long");
        }
    });
}

}  // namespace

std::string WriteJson(const CheckReport& report)
{
    std::string out;
    CJsonObject object(out);
    if (!report.loaded) {
        object.Raw("loaded", "false");
        object.String("error", kLoadErrorText);
        object.Close();
        return out + "\n";
    }
    object.Raw("loaded", "true");
    object.String("setupPath", report.setupPath);
    for (size_t i = 0; i < kSetupValueCount; ++i)
        object.String(kSetupValues[i].name, report.setupTexts[i]);
    object.Number("count", report.count);
    object.Raw("files", FileArray(report.files));
    object.Raw("warnings", WarningArray(report.warnings));
    if (report.plan) {
        object.String("target", report.plan->target);
        object.Raw("plan", PlanArray(report.plan->steps));
    }
    object.Close();
    return out + "\n";
}
