// Failure injection on real file systems: tree snapshots, immutable files, mounts, an unprivileged install.
#pragma once
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "InstallSupport.h"

namespace fs = std::filesystem;

// Every object below root by relative path, leaving out the subtree skip: its
// kind, mode and content hash (or link target); links are not followed.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const fs::path& root, const fs::path& skip = {});

// Every relative path below root, directories included.
inline Names TreeNames(const fs::path& root)
{
    Names names;
    for (const auto& [name, node] : TakeSnapshot(root))
        names.insert(name);
    return names;
}

// Undoes a change to the machine when it goes out of scope, even when the test fails.
using Undo = std::unique_ptr<void, std::function<void(void*)>>;

// chattr +i: not even root may change or add to path. Null when it cannot be set.
Undo MakeImmutable(const fs::path& path);
// A fresh tmpfs with the given options ("size=256k"), or the directory bound
// onto itself read-only (options empty). Null when mounting is not permitted.
Undo Mount(const fs::path& directory, const std::string& tmpfsOptions);

// The child could not give up root.
constexpr int kCannotDropRights = 250;

// info.Install(target) in a forked child that drops to the user nobody when
// root; empty when it did not exit normally within timeoutSeconds (it is killed).
std::optional<int> InstallAsUnprivilegedUser(const CSetupInfo& info, const std::string& target, int timeoutSeconds);

// The package test with the guard "outside" beside the package and the target
// "Arena" (not made) there too.
class CFailureTest : public CPackageTest {
protected:
    CFailureTest()
    {
        dir.Write("outside\\keep.txt", "outside the target");
        dir.Write("outside\\maps\\keep.dat", "also outside");
        dir.MakeDir("package\\data");
    }
    void Entry(const std::string& source, const std::string& dest, const std::string& action = "C")
    {
        AddEntry(info, source, dest, action);
    }
    std::string Target() const { return CPackageTest::Target("Arena"); }
    fs::path TargetNative(const std::string& relative = "") const {
        return dir.Native(relative.empty() ? "Arena" : "Arena\\" + relative);
    }
    // Snapshots everything outside the target tree; the check compares with it.
    void SnapshotOutside() { outside = TakeSnapshot(dir.Native(), TargetNative()); }
    void ExpectOutsideUnchanged() const { EXPECT_EQ(TakeSnapshot(dir.Native(), TargetNative()), outside); }
    // The installed file is a whole copy of package\data\<its name>.
    void ExpectInstalled(const std::string& relative) const;

    Snapshot outside;
    COpenRecorder recorder;  // opens are recorded, never carried out
};
