// Where kivpack finds the KivSetup.exe it puts into a package.
#pragma once
#include <filesystem>

#include "kivpack/PackOptions.h"

// The installer's file name, in the package and where kivpack looks for it.
constexpr char kInstallerFileName[] = "KivSetup.exe";

// The installer to put into the package: --installer, or KivSetup.exe beside
// program (the running kivpack), or in ../share/kivsetup/ from it (an
// installed layout). Empty when there is none.
std::filesystem::path FindInstaller(const PackOptions& options, const std::filesystem::path& program);
