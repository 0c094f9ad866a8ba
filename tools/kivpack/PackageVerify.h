// The last step before a package is put in place: it is read back as the
// installer reads it, and checked with kivcheck's checks.
#pragma once
#include <string>
#include <vector>

#include "checks/Checks.h"
#include "kivpack/ContentScan.h"
#include "kivpack/PackageLayout.h"
#include "setupinfo/SetupInfo.h"

// The package in the current directory, verified in two steps so that the
// first can run while the content is still being copied: VerifyFiles loads
// setup.inf and list.inf with the installer's own code, compares every value
// with layout and entries (from scan's files) and runs the checks that need
// no content; Finish, once the content is written, checks the entries'
// sources. VerifyFiles touches nothing but this object, so it may run on a
// thread of its own; Finish runs after it has returned.
class CPackageVerify {
public:
    CPackageVerify(const CSetupInfo& layout, const std::vector<PackEntry>& entries, const ContentScan& scan)
        : m_layout(layout), m_entries(entries), m_scan(scan), m_checks(m_loaded)
    {
    }

    void VerifyFiles();
    // Each problem goes into err as a line of kivpack's, and a warning of
    // files the installer would skip under the default directory; false when
    // the package must not be put in place.
    bool Finish(std::string& err);

private:
    bool ReadsBack();
    void WarnLongPaths();

    const CSetupInfo& m_layout;
    const std::vector<PackEntry>& m_entries;
    const ContentScan& m_scan;
    CSetupInfo m_loaded;
    CPackageChecks m_checks;
    bool m_readsBack = false;
    std::string m_readBackErr;  // why the package would not be read as written
    std::string m_longPaths;    // the warning of paths too long, when there are any
};

// The final check's findings into err, each message shown as the package's
// text. True when there is none.
bool PassesFinalCheck(const std::vector<CheckWarning>& findings, std::string& err);
