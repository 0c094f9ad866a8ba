#include "kivpack/PackagePlace.h"

#include "common/ErrorText.h"
#include "common/SystemText.h"

namespace fs = std::filesystem;

namespace {

// ".NAME.kivpack" and what follows, beside path.
fs::path Beside(const fs::path& path, const std::string& suffix)
{
    return path.parent_path() / fs::u8path("." + path.filename().u8string() + ".kivpack" + suffix);
}

}  // namespace

CPackagePlace::CPackagePlace(const fs::path& package) : m_package(package)
{
    for (unsigned n = 0; n < 10000 && !m_error && m_path.empty(); ++n) {
        const fs::path candidate = Beside(package, "-" + std::to_string(n));
        if (fs::create_directory(candidate, m_error))
            m_path = candidate;
    }
}

CPackagePlace::~CPackagePlace()
{
    std::error_code ignored;
    if (!m_path.empty())
        fs::remove_all(m_path, ignored);
}

bool CPackagePlace::PutInPlace(std::string& problem, std::string& warning)
{
    std::error_code error;
    const bool replaces = fs::exists(fs::symlink_status(m_package, error));
    fs::path old;
    if (replaces) {
        for (unsigned n = 0; old.empty() || fs::exists(fs::symlink_status(old, error)); ++n)
            old = Beside(m_package, "-old-" + std::to_string(n));
        fs::rename(m_package, old, error);
        if (error) {
            problem =
                "cannot move the old " + ShownSystemPath(m_package, Quotes::With) + " aside: " + ErrorMessage(error);
            return false;
        }
    }
    fs::rename(m_path, m_package, error);
    if (error) {
        std::error_code ignored;
        if (replaces)
            fs::rename(old, m_package, ignored);
        problem = "cannot put the package in place at " + ShownSystemPath(m_package, Quotes::With) + ": " +
                  ErrorMessage(error);
        return false;
    }
    m_path.clear();
    if (replaces && (fs::remove_all(old, error), error))
        warning = "the old package stays at " + ShownSystemPath(old, Quotes::With) + ": " + ErrorMessage(error);
    return true;
}
