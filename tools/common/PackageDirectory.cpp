#include "common/PackageDirectory.h"

CPackageDirectory::CPackageDirectory() : m_saved(std::filesystem::current_path(m_error)) {}

CPackageDirectory::~CPackageDirectory()
{
    if (!m_error) {
        std::error_code ignored;
        std::filesystem::current_path(m_saved, ignored);
    }
}

bool CPackageDirectory::Enter(const std::filesystem::path& directory, std::error_code& error)
{
    error.clear();
    if (!directory.empty())
        std::filesystem::current_path(directory, error);
    return !error;
}
