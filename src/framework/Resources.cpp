#include "framework/Resources.h"

HINSTANCE FindResourceModule(LPCSTR name, LPCSTR type)
{
    HINSTANCE executable = GetModuleHandleA(nullptr);
    return FindResourceA(executable, name, type) ? executable : nullptr;
}
