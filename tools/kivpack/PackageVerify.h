// The last step before a package is put in place: it is read back as the
// installer reads it, and checked with kivcheck's checks.
#pragma once
#include <string>
#include <vector>

#include "kivpack/ContentScan.h"
#include "kivpack/PackageLayout.h"
#include "setupinfo/SetupInfo.h"

// Loads the package in the current directory with the installer's own code,
// compares every value with layout and entries (from scan's files), and runs
// kivcheck's checks on it; warns of files the installer would skip under the
// default directory. Each problem goes into err as a line of kivpack's;
// false when the package must not be put in place.
bool VerifyPackage(const CSetupInfo& layout, const std::vector<PackEntry>& entries, const ContentScan& scan,
                   std::string& err);

// kivcheck's checks on loaded, the package in the current directory: each
// finding into err, its message shown as the package's text. True when there
// is none.
bool PassesFinalCheck(const CSetupInfo& loaded, std::string& err);
