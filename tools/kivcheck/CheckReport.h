// kivcheck's report: what the installer loaded, and the checks' findings on it.
#pragma once
#include <string>
#include <vector>

#include "checks/Checks.h"
#include "setupinfo/FileEntry.h"
#include "setupinfo/SetupInfo.h"

struct CheckReport : CheckFindings {
    bool loaded = false;
    // When not loaded: which file failed and why, in the system's words.
    std::string loadFailure;

    // The loaded description, as CSetupInfo holds it: setup.inf's values in
    // the order of kSetupValues.
    std::string setupPath;
    std::string setupTexts[kSetupValueCount];
    int count = 0;
    std::vector<FileEntry> files;
};
