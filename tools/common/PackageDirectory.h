// The package directory as the current directory, for the length of a tool's run.
#pragma once
#include <filesystem>
#include <string>
#include <system_error>

// The one before is put back when the object goes.
class CPackageDirectory {
public:
    CPackageDirectory();
    ~CPackageDirectory();
    CPackageDirectory(const CPackageDirectory&) = delete;
    CPackageDirectory& operator=(const CPackageDirectory&) = delete;

    // Enters directory, a path of the system the tool runs on; an empty one
    // leaves the current directory as it is. False, with the system's reason
    // in error, when it cannot be entered.
    bool Enter(const std::filesystem::path& directory, std::error_code& error);

private:
    std::error_code m_error;
    std::filesystem::path m_saved;
};
