// kivcheck: shows what the installer will read from a package and what it will do with it.
#include "common/ToolMain.h"
#include "kivcheck/CheckOptions.h"
#include "kivcheck/CheckRun.h"

int main(int argc, char** argv)
{
    return RunToolMain(argc, argv, {"kivcheck", kUsage, kExitUsage, ArgumentText::System}, RunCheck);
}
