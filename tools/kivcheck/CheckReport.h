// The checker's findings: what the installer loaded, its plan for a target, and the warnings.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "FileEntry.h"

// One finding; code is stable and meant for tools, message for people.
struct CheckWarning {
    std::string code;
    std::string message;
};

// One step the installation run would take, in the order it takes them.
struct PlanStep {
    enum class Op { Copy, Open };
    Op op = Op::Copy;
    size_t index = 0;  // position of the entry in the file list, from 0
    std::string source;
    std::string entryDir;  // copy steps only; whole even when too long
    std::string destPath;  // copy steps only
    bool skipped = false;  // a copy step whose paths exceed 259 characters
};

struct CheckReport {
    bool loaded = false;

    // The loaded description, as CSetupInfo holds it.
    std::string setupPath;
    std::string defaultInstall;
    std::string section;
    std::string copyright;
    std::string title;
    std::string installText;
    std::string defaultDir;
    int count = 0;
    std::vector<FileEntry> files;

    std::vector<CheckWarning> warnings;

    // Only with a target directory.
    bool hasTarget = false;
    std::string target;  // normalised, whole even when it exceeds 259 characters
    std::vector<PlanStep> plan;
};
