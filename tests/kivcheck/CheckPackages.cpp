#include "CheckPackages.h"

#include <gtest/gtest.h>

#include "CheckRun.h"

void WriteWorkedExample(const CTempDir& package)
{
    WriteSetup(package, "ArenaPack",
               "Title=Arena Map Pack\n"
               "InstallText=Choose the directory of the game\n"
               "DefaultDir=C:\\Games\\Arena\n");
    package.Write("list.inf",
                  "[ArenaPack]\n"
                  "Count=3\n"
                  "FILE1=data\\arena1.map;$setupdir\\maps\\;C;1\n"
                  "FILE2=data\\arena2.map;$setupdir\\maps\\;C;2\n"
                  "FILE3=readme.txt;$setupdir;E;0\n");
    package.Write("data\\arena1.map", "first map");
    package.Write("data\\arena2.map", "second map");
    package.Write("readme.txt", "read me");
}

void WriteSetup(const CTempDir& package, const std::string& section, const std::string& sectionLines)
{
    package.Write("setup.inf", "[Setup]\n"
                               "DEFAULTINSTALL=Standard\n"
                               "Standard=" + section + "\n"
                               "Copyright=Sample notice text\n"
                               "\n"
                               "[" + section + "]\n" + sectionLines);
}

CheckRunResult Check(const std::vector<std::string>& args)
{
    CheckRunResult result;
    result.status = RunCheck(args, result.out, result.err);
    return result;
}

std::vector<CheckWarning> Warnings(const CTempDir& package, const std::string& target)
{
    CheckOptions options;
    options.hasTarget = !target.empty();
    options.target = target;
    CCurrentDir inPackage(package.Native());
    CheckReport report = CheckPackage(options);
    EXPECT_TRUE(report.loaded);
    return report.warnings;
}

std::vector<std::string> WarningCodes(const CTempDir& package, const std::string& target)
{
    std::vector<std::string> codes;
    for (const CheckWarning& warning : Warnings(package, target))
        codes.push_back(warning.code);
    return codes;
}
