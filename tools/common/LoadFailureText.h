// Why the installer's Load failed, for a tool's message.
#pragma once
#include <string>

#include "setupinfo/SetupInfo.h"

// "setup.inf: No such file or directory", "list.inf cannot be read:
// Input/output error", "list.inf does not fit in memory: ...".
std::string LoadFailureText(const LoadFailure& failure);
