// kivpack: makes a package from a directory tree, checked and ready to ship.
#include "common/ToolMain.h"
#include "kivpack/PackOptions.h"
#include "kivpack/PackRun.h"
#include "kivpack/ProgramPath.h"
#include "platform/Interrupt.h"

int main(int argc, char** argv)
{
    const std::filesystem::path program = ProgramPath(argv[0]);
    // Its arguments in UTF-8 on Windows too, so that names outside the code page arrive whole.
    return RunToolMain(argc, argv, {"kivpack", kPackUsageText, kPackUsage, ArgumentText::Utf8},
                       [&](const std::vector<std::string>& args, std::string& out, std::string& err) {
                           Platform::StopCopiesOnInterrupt();
                           return RunPack(args, program, out, err);
                       });
}
