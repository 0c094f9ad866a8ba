// kivinstall: installs a package from the command line, as KivSetup.exe installs it.
#include "common/ToolMain.h"
#include "kivinstall/InstallOptions.h"
#include "kivinstall/ProcessConsole.h"

int main(int argc, char** argv)
{
    // The run writes as it goes, so that its progress shows while it goes on.
    return RunToolMain(argc, argv, {"kivinstall", kInstallUsageText, kInstallUsage, ArgumentText::System},
                       [](const std::vector<std::string>& args, std::string&, std::string&) {
                           PrepareForOpens();
                           CProcessConsole console;
                           return RunInstallTool(args, console);
                       });
}
