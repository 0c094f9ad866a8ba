// What kivpack writes into a package: setup.inf, list.inf and where the
// content goes, in the layout of examples/arena-pack.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "kivpack/ContentScan.h"
#include "install/Install.h"
#include "setupinfo/SetupInfo.h"

// The sub-directory of the package that holds the content, so that no name
// of the content meets the package's own files.
constexpr char kContentDirName[] = "data";

// The key of [Setup] that DEFAULTINSTALL names, and the install section.
constexpr char kInstallKeyName[] = "Standard";
constexpr char kInstallSectionName[] = "Package";

// One FILE line: the fields as Load splits them.
struct PackEntry {
    std::string source;
    std::string dest;
    EntryAction action;
    size_t file;  // the ContentFile it comes from
};

// One C entry per file, in their order, each landing at its own relative
// path under the target; then an E entry for each file in opens (indexes
// into files, in the order given), which keeps its C entry too.
std::vector<PackEntry> ComposeEntries(const std::vector<ContentFile>& files, const std::vector<size_t>& opens);

// The value of entry index (from 0) in list.inf: "source;dest;action;number".
std::string EntryValue(const PackEntry& entry, size_t index);

// A message for each entry whose FILE value or source path does not fit the
// installer's fields, naming its file.
std::vector<std::string> EntriesNotFitting(const std::vector<PackEntry>& entries,
                                           const std::vector<ContentFile>& files);

// setup.inf for the values in layout's fields (kSetupValues' order; an empty
// value is left out), and list.inf for entries, in layout's install section.
// The texts as given (in the package's code page), CR LF line ends.
std::string SetupFileText(const CSetupInfo& layout);
std::string ListFileText(const CSetupInfo& layout, const std::vector<PackEntry>& entries);
