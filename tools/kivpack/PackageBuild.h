// Writes a package's files into the directory it is built in.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "kivpack/ContentScan.h"
#include "kivpack/PackOptions.h"
#include "kivpack/PackageLayout.h"
#include "setupinfo/SetupInfo.h"

// Copies the licence, the logo and the installer (when there is one) into
// root, and writes setup.inf from layout and list.inf from entries: every
// file of the package but its content. False, with the problem (what could
// not be written and why, or the interrupt), when a step fails.
bool WritePackageFiles(const std::filesystem::path& root, const PackOptions& options, const CSetupInfo& layout,
                       const std::vector<PackEntry>& entries, const std::filesystem::path& installer,
                       std::string& problem);

// Copies the content, scan's files, into root's content directory; the
// problem as WritePackageFiles gives it. Every path it uses is absolute, so
// the current directory may change meanwhile.
bool CopyPackageContent(const std::filesystem::path& root, const ContentScan& scan, std::string& problem);
