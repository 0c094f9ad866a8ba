// The texts of setup.inf that kivpack writes, from its command line.
#pragma once
#include <string>

#include "kivpack/PackOptions.h"
#include "setupinfo/SetupInfo.h"

// Fills layout's fields (kSetupValues') with the package's own key and
// section and the texts given, in the order Load reads them; false, with the
// first problem, when a text cannot be written in the code page or does not
// fit its field.
bool FillTexts(const PackOptions& options, CSetupInfo& layout, std::string& problem);
