// Test support: a fresh temporary directory with real files, removed afterwards.
#pragma once
#include <filesystem>
#include <string>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    // The directory in the installer's own form: backslashes, no trailing one.
    std::string Path() const;
    // relative is written with backslashes, as the installer writes paths.
    std::filesystem::path Native(const std::string& relative = "") const;

    // Writes a file (making its parent directories) with exactly these bytes.
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeDir(const std::string& relative) const;

private:
    std::filesystem::path m_root;
};

// Makes a directory current for the life of the object, then puts the old one back.
class CCurrentDir {
public:
    explicit CCurrentDir(const std::filesystem::path& directory);
    ~CCurrentDir();

private:
    std::filesystem::path m_previous;
};

// The installer's form of a path: the native one with backslashes.
std::string ToInstallerPath(const std::filesystem::path& path);
