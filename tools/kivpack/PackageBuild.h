// Writes a package's files into the directory it is built in.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "kivpack/ContentScan.h"
#include "kivpack/PackOptions.h"
#include "kivpack/PackageLayout.h"
#include "setupinfo/SetupInfo.h"

// Copies the licence, the logo, the installer (when there is one) and the
// content into root, and writes setup.inf from layout and list.inf from
// entries. False, with the problem (what could not be written and why, or
// the interrupt), when a step fails.
bool BuildPackage(const std::filesystem::path& root, const PackOptions& options, const CSetupInfo& layout,
                  const ContentScan& scan, const std::vector<PackEntry>& entries,
                  const std::filesystem::path& installer, std::string& problem);
