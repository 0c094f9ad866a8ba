#include "kivpack/PackageLayout.h"

#include <cstring>

#include "common/SystemText.h"
#include "install/EntryPaths.h"
#include "setupinfo/LineRules.h"

namespace {

const char kLineEnd[] = "\r\n";

std::string Header(const char* section) { return std::string("[") + section + "]" + kLineEnd; }

std::string Line(const char* key, const std::string& value) { return std::string(key) + "=" + value + kLineEnd; }

}  // namespace

std::vector<PackEntry> ComposeEntries(const std::vector<ContentFile>& files, const std::vector<size_t>& opens)
{
    std::vector<PackEntry> entries;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& directory = files[i].packageDir;
        entries.push_back({std::string(kContentDirName) + "\\" + files[i].packagePath,
                           std::string(kSetupDirMarker) + (directory.empty() ? "" : "\\" + directory + "\\"),
                           EntryAction::Copy, i});
    }
    // The installer opens an E entry where it stands in the package.
    for (size_t file : opens)
        entries.push_back({entries[file].source, kSetupDirMarker, EntryAction::Open, file});
    return entries;
}

std::string EntryValue(const PackEntry& entry, size_t index)
{
    const char* action = entry.action == EntryAction::Open ? kOpenAction : kCopyAction;
    return entry.source + ";" + entry.dest + ";" + action + ";" + std::to_string(index + 1);
}

std::vector<std::string> EntriesNotFitting(const std::vector<PackEntry>& entries, const std::vector<ContentFile>& files)
{
    std::vector<std::string> messages;
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t valueLength = EntryValue(entries[i], i).size();
        const size_t sourceLength = entries[i].source.size();
        if (valueLength < kFileValueSize && sourceLength < kSourcePathSize)
            continue;
        char key[kFileKeySize];
        MakeFileKey(static_cast<unsigned>(i + 1), key);
        messages.push_back(ShownSystemPath(std::filesystem::u8path(files[entries[i].file].shown), Quotes::With) +
                           " cannot be packed: its path is too long for list.inf (" + key + " would be " +
                           std::to_string(valueLength) + " characters, the installer keeps " +
                           std::to_string(kFileValueSize - 1) + "; its source " + std::to_string(sourceLength) +
                           " of " + std::to_string(kSourcePathSize - 1) + ")");
    }
    return messages;
}

std::string SetupFileText(const CSetupInfo& layout)
{
    std::string text;
    std::string section;
    for (const SetupValue& setupValue : kSetupValues) {
        const std::string value = layout.Field(setupValue);
        if (value.empty())
            continue;
        const char* at = layout.SectionOf(setupValue);
        if (section != at) {
            text += (section.empty() ? "" : kLineEnd) + Header(at);
            section = at;
        }
        text += Line(layout.KeyOf(setupValue), value);
    }
    return text;
}

std::string ListFileText(const CSetupInfo& layout, const std::vector<PackEntry>& entries)
{
    std::string text = Header(layout.m_szSection) + Line("Count", std::to_string(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        char key[kFileKeySize];
        MakeFileKey(static_cast<unsigned>(i + 1), key);
        text += Line(key, EntryValue(entries[i], i));
    }
    return text;
}
