// The arguments on POSIX systems: as the system gives them, UTF-8.
#include "common/SystemArguments.h"

bool SystemArguments(int argc, char** argv, ArgumentText, std::vector<std::string>& args, std::string&)
{
    args.assign(argv + 1, argv + argc);
    return true;
}
