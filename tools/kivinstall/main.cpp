// kivinstall: installs a package from the command line, as KivSetup.exe installs it.
#include "kivinstall/InstallTool.h"

int main(int argc, char** argv)
{
    return RunInstallMain(argc, argv);
}
