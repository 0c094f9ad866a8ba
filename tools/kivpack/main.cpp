// kivpack: makes a package from a directory tree, checked and ready to ship.
#include "kivpack/PackRun.h"

int main(int argc, char** argv)
{
    return RunPackMain(argc, argv);
}
