// The checks that find what in a package will not work the way its author meant: the parts of CheckPackage.
#pragma once
#include <vector>

#include "checks/Checks.h"
#include "common/InstallPlan.h"
#include "common/Shown.h"  // Quoted: package text in a message
#include "platform/NativePath.h"
#include "setupinfo/SetupInfo.h"

// setup.inf and list.inf: lines the lookup will not match, values cut to their
// field, the install section, Count and the numbering of the FILE keys. Reads
// both files again from the current directory, the way the lookup reads them.
void CheckDescription(const CSetupInfo& info, std::vector<CheckWarning>& warnings);

// Each entry of the loaded list: its action, its destination, its source file.
void CheckEntries(const CSetupInfo& info, std::vector<CheckWarning>& warnings);

// The plan for a target: each copy the installer skips for a path over 259
// characters, or one warning when the target itself is that long.
void CheckPlan(const InstallPlan& plan, std::vector<CheckWarning>& warnings);

// license.txt and logo.bmp in the current directory.
void CheckPresentationFiles(std::vector<CheckWarning>& warnings);

// The key of entry index (from 0) of the file list: FILE1 for 0.
std::string FileKeyName(size_t index);

// Appends a warning.
void Warn(std::vector<CheckWarning>& warnings, const char* code, const std::string& message);

// What the name lookup saw of native itself, a link not followed (POSIX
// systems): whether anything is there, and whether it is a link. False when
// it did not look, which a second look must then tell.
bool SeenByLookup(const CNativePath& native, bool& exists, bool& isLink);
