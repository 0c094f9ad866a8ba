// kivcheck: shows what the installer will read from a package and what it will do with it.
#include <cstdio>

#include "CheckRun.h"
#include "KivVersion.h"

int main(int argc, char** argv)
{
    // --version: the project's version, the one in KivSetup.exe's properties.
    CheckOptions options;
    std::string error;
    if (ParseArguments(std::vector<std::string>(argv + 1, argv + argc), options, error) && options.version) {
        std::fputs("kivcheck " KIV_VERSION_TEXT "\n", stdout);
        return kExitLoaded;
    }
    return RunCheckMain(argc, argv);
}
