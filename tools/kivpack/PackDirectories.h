// The content directory and the package directory of a run, as kivpack takes them.
#pragma once
#include <filesystem>
#include <string>

#include "kivpack/PackOptions.h"

struct PackDirectories {
    std::filesystem::path content;  // absolute, normal
    std::filesystem::path package;  // absolute, normal, without a closing separator
};

// Resolves the two directories of options. False, with the problem and the
// exit status for it, when the content directory is none, the package
// directory has no parent to be made in or holds something (without
// --force), or one lies inside the other.
bool ResolveDirectories(const PackOptions& options, PackDirectories& directories, std::string& problem, int& status);
