// Test support for the installation engine: file lists, an opener that records, waiting for a file.
#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SetupInfo.h"
#include "TempDir.h"

// Appends one entry to the list, its file name taken from the source path as Load takes it.
void AddEntry(CSetupInfo& info, const std::string& source, const std::string& dest, const std::string& action);

// Takes the place of the shell opener while it lives. Each open is recorded
// with the answer of the probe, asked at the moment of the open.
class COpenRecorder {
public:
    struct Open {
        std::string file;
        bool probe;
    };

    explicit COpenRecorder(std::function<bool()> probe = [] { return true; }, bool succeed = true);
    ~COpenRecorder();
    COpenRecorder(const COpenRecorder&) = delete;
    COpenRecorder& operator=(const COpenRecorder&) = delete;

    std::vector<Open> opens;

private:
    static bool Record(const char* file);
    static COpenRecorder* s_active;
    std::function<bool()> m_probe;
    bool m_succeed;
};

// Waits until the file exists, for at most timeoutSeconds; its content or "" on timeout.
std::string WaitForFile(const std::string& path, int timeoutSeconds);

using Names = std::set<std::string>;

// A temporary directory holding the package directory "package", which is
// current during the test, and the targets beside it.
class CPackageTest : public ::testing::Test {
protected:
    CPackageTest();

    // Writes package\data\<name> with the content "<name> v1".
    void Source(const std::string& name, const std::string& content = "");
    // The absolute target <dir>\<name>, in the installer's form.
    std::string Target(const std::string& name) const;
    // The names in a directory below the temporary directory.
    Names Listing(const std::string& relative) const;

    CTempDir dir;
    std::unique_ptr<CCurrentDir> here;
    CSetupInfo info;
};
