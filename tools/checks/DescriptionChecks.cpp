#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "checks/DescriptionText.h"
#include "checks/PackageChecks.h"
#include "codepages/CodePages.h"
#include "setupinfo/Limits.h"
#include "setupinfo/LineRules.h"
#include "text/Text.h"

void Warn(std::vector<CheckWarning>& warnings, const char* code, const std::string& message)
{
    warnings.push_back({code, message});
}

std::string FileKeyName(size_t index)
{
    char key[kFileKeySize];
    MakeFileKey(static_cast<unsigned>(index + 1), key);
    return key;
}

namespace {

std::string FileKey(unsigned number) { return FileKeyName(number - 1); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string WithoutLineEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// What keeps the lookup from seeing a key where a reader sees one, in the
// order a message names them.
class CHindrances {
public:
    void Add(const char* reason) { m_reasons[m_count++] = reason; }

    // The reasons joined by commas; empty when there is none.
    std::string Text() const
    {
        std::string text;
        for (size_t i = 0; i < m_count; ++i)
            text += std::string(i == 0 ? "" : ", ") + m_reasons[i];
        return text;
    }

private:
    const char* m_reasons[4];  // the three of ReadAsKey, and a leading zero
    size_t m_count = 0;
};

// What a person reading a line takes for its key: the text before the first
// "=", less blanks and a comment mark, into name (room for a line). Also says
// what keeps the lookup from seeing the key there. False when the line has no
// "=" or no such text.
bool ReadAsKey(const char* line, char* name, CHindrances& hindrances)
{
    const char* equals = strchr(line, '=');
    if (!equals)
        return false;
    size_t begin = 0;
    size_t end = static_cast<size_t>(equals - line);
    while (begin < end && IsBlank(line[begin]))
        ++begin;
    if (begin > 0)
        hindrances.Add("blanks before the key");
    size_t markLength = line[begin] == ';' || line[begin] == '#' ? 1 : strncmp(line + begin, "//", 2) == 0 ? 2 : 0;
    if (markLength > 0 && begin + markLength <= end) {
        hindrances.Add("a comment mark (the files have no comments)");
        begin += markLength;
        while (begin < end && IsBlank(line[begin]))
            ++begin;
    }
    if (end > begin && IsBlank(line[end - 1])) {
        hindrances.Add("blanks before the \"=\"");
        while (end > begin && IsBlank(line[end - 1]))
            --end;
    }
    if (begin == end)
        return false;
    memcpy(name, line + begin, end - begin);
    name[end - begin] = '\0';
    return true;
}

// The canonical FILE key a name stands for ("FILE007" stands for FILE7), or
// an empty text when it is no FILE key.
std::string FileKeyOf(const char* name, bool& leadingZero)
{
    unsigned number;
    if (ReadFileKey(name, number, leadingZero) != strlen(name))
        return "";
    return FileKey(number);
}

// A FILE key the lookup finds a value of: its number, its name and the
// length of the value, uncut.
struct FileValue {
    unsigned number;
    std::string key;
    size_t length;
};

// The section of one file that the lookup reads keys from.
class CSectionCheck {
public:
    CSectionCheck(CDescriptionText& file, const char* fileName, std::string section,
                  std::vector<CheckWarning>& warnings)
        : m_file(file), m_fileName(fileName), m_section(std::move(section)), m_warnings(warnings),
          m_header(file.FindHeader(m_section))
    {
    }

    bool HasHeader() const { return m_header != CLineIndex::kNoLine; }

    // Lines of the section (as a reader sees it) that name one of keys, or a
    // FILE key when fileKeys is set, but that the lookup will not match.
    void CheckKeyLines(const std::vector<std::string>& keys, bool fileKeys)
    {
        if (!HasHeader())
            return;
        const size_t end = m_file.SectionEnd(m_header);
        for (size_t i = m_header + 1; i < end; ++i) {
            const char* text = m_file.LineText(i);
            char name[kLineSize];
            CHindrances hindrances;
            if (!ReadAsKey(text, name, hindrances))
                continue;
            std::string key;
            for (const std::string& candidate : keys) {
                if (CodePages::EqualsNoCase(name, candidate.c_str()))
                    key = candidate;
            }
            bool leadingZero = false;
            if (key.empty() && fileKeys)
                key = FileKeyOf(name, leadingZero);
            if (key.empty() || LineMatchesKey(text, key))
                continue;
            if (leadingZero)
                hindrances.Add("a leading zero in the number");
            const std::string hindrance = hindrances.Text();
            Warn(m_warnings, "key-not-matched",
                 m_fileName + " line " + std::to_string(m_file.LineNumber(i)) + ": " + Quoted(WithoutLineEnd(text)) +
                     " is not read as " + key + ": " +
                     (hindrance.empty() ? "its first \"=\" is not right after the key" : hindrance));
        }
    }

    // The uncut value of key; warns when it is longer than its field
    // (WarnIfCut).
    bool CheckLength(const std::string& key, size_t capacity, std::string& value)
    {
        if (!m_file.FindValue(m_section, key, value))
            return false;
        WarnIfCut(key, value.size(), capacity);
        return true;
    }

    bool CheckLength(const std::string& key, size_t capacity)
    {
        std::string ignored;
        return CheckLength(key, capacity, ignored);
    }

    // Warns when the value of key, length characters, is longer than the
    // field (capacity in characters) that the installer keeps it in.
    void WarnIfCut(const std::string& key, size_t length, size_t capacity)
    {
        if (length > capacity)
            Warn(m_warnings, "value-cut",
                 m_fileName + ": the value of " + key + " is " + std::to_string(length) +
                     " characters long; the installer keeps only the first " + std::to_string(capacity));
    }

    // The FILE keys the lookup finds a value of, by number.
    std::vector<FileValue> PresentFileKeys()
    {
        std::vector<FileValue> present;
        if (!HasHeader())
            return present;
        // Any "FILE<digits>=" after the header may be the line of a key; the
        // lookup itself decides which are. An "=" ends at most one: the
        // digits just before it, and "FILE" before them.
        const size_t prefixLength = sizeof kFileKeyPrefix - 1;
        std::vector<unsigned> candidates;
        for (size_t i = m_header + 1; i < m_file.LineCount(); ++i) {
            const char* text = m_file.LineText(i);
            for (const char* equals = strchr(text, '='); equals; equals = strchr(equals + 1, '=')) {
                const char* digits = equals;
                while (digits > text && digits[-1] >= '0' && digits[-1] <= '9')
                    --digits;
                if (static_cast<size_t>(digits - text) < prefixLength)
                    continue;
                const char* key = digits - prefixLength;
                unsigned number;
                bool leadingZeros;
                if (ReadFileKey(key, number, leadingZeros) == static_cast<size_t>(equals - key) && !leadingZeros)
                    candidates.push_back(number);
            }
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        std::string value;
        for (unsigned number : candidates) {
            std::string key = FileKey(number);
            if (m_file.FindValue(m_section, key, value))
                present.push_back({number, std::move(key), value.size()});
        }
        return present;
    }

private:
    CDescriptionText& m_file;
    std::string m_fileName;
    std::string m_section;
    std::vector<CheckWarning>& m_warnings;
    size_t m_header;
};

std::string KeyList(const std::vector<unsigned>& numbers)
{
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i)
        text += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + FileKey(numbers[i]);
    return text;
}

void CheckSetupFile(const CSetupInfo& info, CDescriptionText& setupFile, std::vector<CheckWarning>& warnings)
{
    CSectionCheck setupSection(setupFile, kSetupFileName, "Setup", warnings);
    const std::string section = info.m_szSection;
    if (info.m_szDefaultInstall[0] == '\0') {
        Warn(warnings, "no-default-install",
             setupSection.HasHeader() ? "setup.inf: [Setup] has no DEFAULTINSTALL, so no install section is named"
                                      : "setup.inf has no [Setup] section, so no install section is named");
    } else if (section.empty()) {
        Warn(warnings, "no-install-section",
             std::string("setup.inf: DEFAULTINSTALL names the key ") + info.m_szDefaultInstall +
                 ", which [Setup] does not hold, so there is no install section");
    }

    // The keys Load reads, each in its own section and checked against its
    // own field: [Setup] first, then the install section.
    CSectionCheck installSection(setupFile, kSetupFileName, section, warnings);
    for (const SetupSection part : {SetupSection::Setup, SetupSection::Install}) {
        CSectionCheck& check = part == SetupSection::Setup ? setupSection : installSection;
        if (part == SetupSection::Install && !section.empty() && !installSection.HasHeader())
            Warn(warnings, "no-install-section",
                 "setup.inf has no [" + section + "] section, so Title, InstallText and DefaultDir stay empty");
        std::vector<std::string> keys;
        for (const SetupValue& value : kSetupValues) {
            if (value.section == part && info.KeyOf(value)[0] != '\0')
                keys.push_back(info.KeyOf(value));
        }
        check.CheckKeyLines(keys, false);
        for (const SetupValue& value : kSetupValues) {
            if (value.section == part && info.KeyOf(value)[0] != '\0')
                check.CheckLength(info.KeyOf(value), value.fieldSize - 1);
        }
    }
}

// present: the section's PresentFileKeys.
void CheckCount(const CSetupInfo& info, CSectionCheck& listSection, const std::vector<FileValue>& present,
                std::vector<CheckWarning>& warnings)
{
    std::string uncut;
    const bool hasCount = listSection.CheckLength("Count", kCountSize - 1, uncut);
    const std::string presentText =
        std::to_string(present.size()) + (present.size() == 1 ? " FILE key is" : " FILE keys are") + " present";
    const size_t entriesRead = info.m_files.GetSize();

    if (!hasCount) {
        Warn(warnings, "count-missing",
             "list.inf: Count is missing, so no entries are read" +
                 (present.empty() ? std::string() : " (" + presentText + ")"));
        return;
    }

    // The installer reads the value cut to its field, converted like atoi.
    const std::string count = uncut.substr(0, kCountSize - 1);
    const bool negativeSign = count[0] == '-';
    const std::string digits = count.substr(negativeSign ? 1 : 0);
    const bool plainNumber =
        AllDigits(digits) && std::stoll(digits) * (negativeSign ? -1 : 1) == static_cast<long long>(info.m_nCount);
    if (!plainNumber) {
        Warn(warnings, "count-not-number",
             "list.inf: Count " + Quoted(count) + " is not a plain number; the installer reads it as " +
                 std::to_string(info.m_nCount) + (info.m_nCount == 0 ? ", so no entries are read" : ""));
    } else if (info.m_nCount < 0) {
        Warn(warnings, "count-negative",
             "list.inf: Count is " + std::to_string(info.m_nCount) +
                 "; a negative Count sets no limit, so entries are read up to the first missing FILE key");
    } else if (present.size() != static_cast<size_t>(info.m_nCount)) {
        std::string message = "list.inf: Count is " + std::to_string(info.m_nCount) + " but " + presentText;
        if (info.m_nCount == 0)
            message += "; no entries are read";
        else if (present.size() > static_cast<size_t>(info.m_nCount))
            message += "; keys after " + FileKey(static_cast<unsigned>(info.m_nCount)) + " are never read";
        Warn(warnings, "count-mismatch", message);
    }

    // Reading stops at the first missing key before Count is reached; keys
    // after that gap are never read, whatever Count says.
    const unsigned limit = static_cast<unsigned>(info.m_nCount);
    if (info.m_nCount != 0 && entriesRead < limit) {
        const unsigned missing = static_cast<unsigned>(entriesRead) + 1;
        std::vector<unsigned> unread;
        for (const FileValue& value : present) {
            if (value.number > missing)
                unread.push_back(value.number);
        }
        if (!unread.empty())
            Warn(warnings, "file-gap",
                 "list.inf: " + FileKey(missing) + " is missing, so " + KeyList(unread) +
                     (unread.size() == 1 ? " is" : " are") + " never read");
    }
}

void CheckListFile(const CSetupInfo& info, CDescriptionText& listFile, std::vector<CheckWarning>& warnings)
{
    const std::string section = info.m_szSection;
    CSectionCheck listSection(listFile, kListFileName, section, warnings);
    if (!listSection.HasHeader()) {
        // An empty name has been reported with setup.inf already.
        if (!section.empty())
            Warn(warnings, "no-install-section",
                 "list.inf has no [" + section + "] section, so the file list is empty");
        return;
    }
    listSection.CheckKeyLines({"Count"}, true);
    const std::vector<FileValue> present = listSection.PresentFileKeys();
    CheckCount(info, listSection, present, warnings);
    // The value of each FILE key read, cut to its field; the lookup found
    // it, so it is among those present.
    auto value = present.begin();
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const unsigned number = static_cast<unsigned>(i + 1);
        while (value != present.end() && value->number < number)
            ++value;
        if (value != present.end() && value->number == number)
            listSection.WarnIfCut(value->key, value->length, kFileValueSize - 1);
    }
}

}  // namespace

void CheckDescription(const CSetupInfo& info, std::vector<CheckWarning>& warnings)
{
    CDescriptionText setupFile(kSetupFileName);
    CheckSetupFile(info, setupFile, warnings);
    CDescriptionText listFile(kListFileName);
    CheckListFile(info, listFile, warnings);
}
