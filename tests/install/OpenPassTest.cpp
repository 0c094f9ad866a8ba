#include <filesystem>
#include <map>
#include <sstream>
#include <string>

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
    // lets the started program go on once Install has returned, and reads
    // what it recorded as key=value lines.
    std::map<std::string, std::string> InstallAndReadRecord(const std::string& program)
    {
        Source("a.dat");
        AddEntry(info, program, "$setupdir", "E");
        AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
        EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
        dir.Write("package\\probe-go", "");

        std::map<std::string, std::string> record;
        std::istringstream lines(WaitForFile(dir.Native("package\\probe-record.txt").string(), 60));
        std::string line;
        while (std::getline(lines, line)) {
            size_t equals = line.find('=');
            if (equals != std::string::npos)
                record[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return record;
    }
};

}  // namespace

TEST_F(OpenPass, EEntriesOpenInListOrderAfterTheLastCopy)
{
    Source("a.dat");
    Source("b.dat");
    AddEntry(info, "tools\\first.exe", "$setupdir", "E");
    AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
    AddEntry(info, "docs\\readme.txt", "$setupdir", "e");
    AddEntry(info, "data\\b.dat", "$setupdir", "C");

    COpenRecorder recorder([this] { return dir.Exists("Arena\\maps\\a.dat") && dir.Exists("Arena\\b.dat"); });
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    ASSERT_EQ(recorder.opens.size(), 2u);
    EXPECT_EQ(recorder.opens[0].file, "tools\\first.exe");
    EXPECT_TRUE(recorder.opens[0].probe);
    EXPECT_EQ(recorder.opens[1].file, "docs\\readme.txt");
    EXPECT_TRUE(recorder.opens[1].probe);
    // Opened at the source location; the E entries are not copied.
    EXPECT_EQ(Listing("Arena"), (Names{"b.dat", "maps"}));
}

#ifdef _WIN32

TEST_F(OpenPass, ARealProgramStartsAfterTheCopiesWithItsSourcePathAsParameters)
{
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    dir.MakeDir("package\\tools");
    fs::copy_file(fs::path(self).parent_path() / "kiv_open_probe.exe", dir.Native("package\\tools\\OpenProbe.exe"));
    ASSERT_TRUE(SetEnvironmentVariableA("KIV_PROBE_CHECK", "..\\Arena\\maps\\a.dat"));

    auto record = InstallAndReadRecord("tools\\OpenProbe.exe");
    SetEnvironmentVariableA("KIV_PROBE_CHECK", nullptr);
    ASSERT_FALSE(record.empty()) << "the program did not start";
    EXPECT_NE(record["program"].find("OpenProbe.exe"), std::string::npos) << record["program"];
    EXPECT_EQ(record["parameters"], "tools\\OpenProbe.exe");
    EXPECT_TRUE(fs::equivalent(record["cwd"], dir.Native("package"))) << record["cwd"];
    EXPECT_EQ(record["check"], "present");
    EXPECT_EQ(record["go"], "seen");
}

#else

TEST_F(OpenPass, AnExecutableFileRunsDirectlyWithItsPathAsParameterAndNoWait)
{
    dir.Write("package\\tools\\probe.sh",
              "#!/bin/sh\n"
              "if [ -e ../Arena/maps/a.dat ]; then check=present; else check=missing; fi\n"
              "n=0; while [ ! -e probe-go ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n+1)); done\n"
              "if [ -e probe-go ]; then go=seen; else go=missing; fi\n"
              "printf 'program=%s\\nparameters=%s\\ncwd=%s\\ncheck=%s\\ngo=%s\\n' \"$0\" \"$*\" \"$(pwd)\" "
              "$check $go > probe-record.tmp\n"
              "mv probe-record.tmp probe-record.txt\n");
    fs::permissions(dir.Native("package\\tools\\probe.sh"), fs::perms::owner_exec, fs::perm_options::add);

    auto record = InstallAndReadRecord("tools\\probe.sh");
    ASSERT_FALSE(record.empty()) << "the program did not start";
    EXPECT_EQ(record["program"], "tools/probe.sh");
    EXPECT_EQ(record["parameters"], "tools/probe.sh");
    EXPECT_TRUE(fs::equivalent(record["cwd"], dir.Native("package"))) << record["cwd"];
    EXPECT_EQ(record["check"], "present");
    EXPECT_EQ(record["go"], "seen");
}

#endif
