// Test support: a fresh temporary directory with real files, removed afterwards; a code page for a while;
// where the files a test reads lie.
#pragma once
#include <filesystem>
#include <set>
#include <string>

#include "codepages/CodePages.h"

// A file or directory a test reads (the example package, the committed pictures, a built program), given
// by its path on the build machine. When KIV_TEST_DATA_DIR is set, the test programs were copied to another
// machine with their data (tests/run-on-windows.cmd): then it is the entry of that directory with the same
// last name. The Windows build under Wine reaches the build machine's root as drive Z:.
std::string TestData(const std::string& onBuildMachine);

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;

    // The directory in the installer's form: backslashes, no trailing one.
    std::string Path() const;
    // relative is written with backslashes, as the installer writes paths.
    std::filesystem::path Native(const std::string& relative = "") const;
    // Writes a file, making its parent directories, with exactly these bytes; Read gives "" for none.
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const { return std::filesystem::exists(Native(relative)); }
    std::filesystem::path MakeDir(const std::string& relative) const
    {
        return create_directories(Native(relative)), Native(relative);
    }
    // Every path below relative, directories included, "/" between names; links are not followed.
    std::set<std::string> Tree(const std::string& relative = "") const;

private:
    std::filesystem::path m_root;
};

// Makes a directory current for the life of the object, then puts the old one back.
struct CCurrentDir {
    explicit CCurrentDir(const std::filesystem::path& directory) { std::filesystem::current_path(directory); }
    ~CCurrentDir() { std::filesystem::current_path(m_previous, m_ignored); }
    std::filesystem::path m_previous = std::filesystem::current_path();
    std::error_code m_ignored;
};

// Reads package text in another code page for the life of the object, then in the one before.
struct CCodePage {
    explicit CCodePage(int codePage) { m_set = CodePages::SetCodePage(codePage); }
    ~CCodePage() { CodePages::SetCodePage(m_previous); }
    int m_previous = CodePages::CodePage();
    bool m_set;
};
