// The checker's findings: what the installer loaded, its plan for a target, and the warnings.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "FileEntry.h"
#include "InstallPlan.h"
#include "SetupInfo.h"

// One finding; code is stable and meant for tools, message for people.
struct CheckWarning {
    std::string code;
    std::string message;
};

struct CheckReport {
    bool loaded = false;
    // When not loaded: which file failed and why, in the system's words.
    std::string loadFailure;

    // The loaded description, as CSetupInfo holds it: setup.inf's values in
    // the order of kSetupKeys (CSetupInfo::SetupField).
    std::string setupPath;
    std::string setupTexts[kSetupKeyCount];
    int count = 0;
    std::vector<FileEntry> files;

    std::vector<CheckWarning> warnings;

    // Only with a target directory.
    bool hasTarget = false;
    InstallPlan plan;
};
