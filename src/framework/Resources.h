// Resource lookup: which module holds a given resource.
#pragma once
#include <windows.h>

// The module holding the resource name of the given type, or null when no
// module has it. All of the program's resources live in its executable.
HINSTANCE FindResourceModule(LPCSTR name, LPCSTR type);
