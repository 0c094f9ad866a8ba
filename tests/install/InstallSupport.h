// Test support for the installation engine: file lists, an opener that records, a package in a temp dir.
#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileSystem.h"
#include "SetupInfo.h"
#include "TempDir.h"

// Appends one entry to the list, its file name taken from the source path as Load takes it.
void AddEntry(CSetupInfo& info, const std::string& source, const std::string& dest, const std::string& action);

// Takes the place of the shell opener while it lives: records each file opened
// with the probe's answer at that moment, and answers succeed.
class COpenRecorder {
public:
    explicit COpenRecorder(std::function<bool()> probe = [] { return true; }, bool succeed = true)
        : m_probe(std::move(probe)), m_succeed(succeed)
    {
        s_active = this;
        Platform::SetShellOpener(&Record);
    }
    ~COpenRecorder() { Platform::SetShellOpener(nullptr); }
    COpenRecorder(const COpenRecorder&) = delete;
    COpenRecorder& operator=(const COpenRecorder&) = delete;

    std::vector<std::pair<std::string, bool>> opens;

private:
    static bool Record(const char* file)
    {
        s_active->opens.emplace_back(file, s_active->m_probe());
        return s_active->m_succeed;
    }
    static inline COpenRecorder* s_active = nullptr;
    std::function<bool()> m_probe;
    bool m_succeed;
};

using Names = std::set<std::string>;

// A temporary directory holding the package directory "package", which is
// current during the test, and the targets beside it.
class CPackageTest : public ::testing::Test {
protected:
    CPackageTest();

    // Writes package\data\<name> with the content "<name> v1" (or content).
    void Source(const std::string& name, const std::string& content = "");
    // The absolute target <dir>\<name>, in the installer's form.
    std::string Target(const std::string& name) const { return dir.Path() + "\\" + name; }
    // The names in a directory below the temporary directory.
    Names Listing(const std::string& relative) const;

    CTempDir dir;
    std::unique_ptr<CCurrentDir> here;
    CSetupInfo info;
};
