#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "InstallSupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

class OpenPass : public CPackageTest {
protected:
    // Installs a list whose first entry opens program, followed by one copy,
    // lets the started program go on once Install has returned, and gives
    // what it recorded ("" when it never wrote its record).
    std::string InstallAndReadRecord(const std::string& program)
    {
        Source("a.dat");
        AddEntry(info, program, "$setupdir", "E");
        AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
        EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
        dir.Write("package\\probe-go", "");
        for (int i = 0; i < 1200 && !dir.Exists("package\\probe-record.txt"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return dir.Exists("package\\probe-record.txt") ? dir.Read("package\\probe-record.txt") : "";
    }
};

}  // namespace

#ifdef _WIN32
TEST_F(OpenPass, ARealProgramStartsAfterTheCopiesWithItsSourcePathAsParameters)
{
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    dir.MakeDir("package\\tools");
    fs::copy_file(fs::path(self).parent_path() / "kiv_open_probe.exe", dir.Native("package\\tools\\OpenProbe.exe"));
    ASSERT_TRUE(SetEnvironmentVariableA("KIV_PROBE_CHECK", "..\\Arena\\maps\\a.dat"));
    const std::string record = InstallAndReadRecord("tools\\OpenProbe.exe");
    SetEnvironmentVariableA("KIV_PROBE_CHECK", nullptr);
    ASSERT_NE(record, "") << "the program did not start";
    // The program, quoted or not, then its source path as the parameters.
    EXPECT_NE(record.find(" tools\\OpenProbe.exe\ncwd="), std::string::npos) << record;
    EXPECT_NE(record.find("\ncheck=present\ngo=seen\n"), std::string::npos) << record;
    const size_t cwd = record.find("\ncwd=") + 5;
    EXPECT_TRUE(fs::equivalent(record.substr(cwd, record.find('\n', cwd) - cwd), dir.Native("package"))) << record;
}
#else
TEST_F(OpenPass, AnExecutableFileRunsDirectlyWithItsPathAsParameterAndNoWait)
{
    dir.Write("package\\tools\\probe.sh",
              "#!/bin/sh\n"
              "if [ -e ../Arena/maps/a.dat ]; then check=present; else check=missing; fi\n"
              "n=0; while [ ! -e probe-go ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n+1)); done\n"
              "if [ -e probe-go ]; then go=seen; else go=missing; fi\n"
              "printf 'program=%s\\nparameters=%s\\ncwd=%s\\ncheck=%s\\ngo=%s\\n' \"$0\" \"$*\" \"$(pwd -P)\" "
              "$check $go > probe-record.tmp\n"
              "mv probe-record.tmp probe-record.txt\n");
    fs::permissions(dir.Native("package\\tools\\probe.sh"), fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_EQ(InstallAndReadRecord("tools\\probe.sh"),
              "program=tools/probe.sh\nparameters=tools/probe.sh\ncwd=" +
                  fs::canonical(dir.Native("package")).string() + "\ncheck=present\ngo=seen\n");
}
#endif
