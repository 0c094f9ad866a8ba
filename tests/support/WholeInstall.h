// The whole installation run of a loaded description, as the tests and the benchmarks take it.
#pragma once
#include "install/Install.h"
#include "setupinfo/SetupInfo.h"

// Copies the C entries of info into targetDir, then opens the E entries;
// returns the number of C entries not copied. (The dialog runs the two
// passes apart, and the tools with an observer: RunInstall.)
inline int Install(const CSetupInfo& info, const char* targetDir)
{
    return RunInstall(info.m_files, targetDir, nullptr);
}
