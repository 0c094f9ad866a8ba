// kivcheck: shows what the installer will read from a package and what it will do with it.
#include "kivcheck/CheckRun.h"

int main(int argc, char** argv)
{
    return RunCheckMain(argc, argv);
}
