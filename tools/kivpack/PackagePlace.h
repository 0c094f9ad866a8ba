// Where a package is built, and how it takes PACKAGE_DIR's place: whole, or
// not at all.
#pragma once
#include <filesystem>
#include <string>
#include <system_error>

class CPackagePlace {
public:
    // Makes a new directory beside package (".NAME.kivpack-N"), to build in.
    explicit CPackagePlace(const std::filesystem::path& package);
    // Removes that directory with all in it, unless it was put in place.
    ~CPackagePlace();
    CPackagePlace(const CPackagePlace&) = delete;
    CPackagePlace& operator=(const CPackagePlace&) = delete;

    // The directory to build in; empty, with the reason in Error(), when
    // none could be made.
    const std::filesystem::path& Path() const { return m_path; }
    const std::error_code& Error() const { return m_error; }

    // Puts the directory built in the package's place. What stood there is
    // moved aside first and removed last, so that a failure leaves it as it
    // was. False, with the problem (a path as the system names it, and why),
    // when the package could not be put in place; warning tells of an old
    // package that could not be removed.
    bool PutInPlace(std::string& problem, std::string& warning);

private:
    std::filesystem::path m_package;
    std::filesystem::path m_path;
    std::error_code m_error;
};
