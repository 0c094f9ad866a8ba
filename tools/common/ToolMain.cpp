#include "common/ToolMain.h"

#include <cstdio>

#include "common/ToolArguments.h"

int RunToolMain(int argc, char** argv, const ToolProgram& program, const ToolRun& run)
{
    UseBinaryStandardStreams();
    std::vector<std::string> args;
    std::string out, err, problem;
    int status = program.usageStatus;
    if (SystemArguments(argc, argv, program.text, args, problem))
        status = run(args, out, err);
    else
        err = UsageProblem(program.name, problem, program.usage);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
