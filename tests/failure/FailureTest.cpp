// The installation run against failing file systems: every entry not copied is
// counted, every other entry is installed, and nothing outside the target changes.
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "FailureSupport.h"

using Failure = CFailureTest;

TEST_F(Failure, ALockedTargetTakesOnlyWhatGoesIntoItsWritableSubDirectory)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        Source(name);
    Entry("data\\a.dat", "$setupdir");
    Entry("data\\b.dat", "$setupdir\\maps\\");
    Entry("data\\c.dat", "$setupdir\\open\\");
    Entry("data\\e.txt", "$setupdir", "E");
    SnapshotOutside();
    std::string notPossible;
    for (const std::string lock : {"chattr +i", "no write permission", "read-only mount"}) {
        fs::remove_all(TargetNative());
        fs::create_directories(TargetNative("open"));
        fs::permissions(TargetNative("open"), fs::perms::all);
        recorder.opens.clear();
        std::optional<int> result;
        if (lock == "no write permission") {
            chmod(TargetNative().c_str(), 0555);
            result = InstallAsUnprivilegedUser(info, Target(), 30);
            ASSERT_TRUE(result.has_value()) << "the unprivileged Install did not finish";
            ASSERT_NE(*result, kCannotDropRights) << "the child could not drop to the user nobody";
        } else {
            // Not even root may add to an immutable directory or a read-only file system.
            Undo locked = lock == "chattr +i" ? MakeImmutable(TargetNative()) : Mount(TargetNative(), "");
            if (!locked) {
                notPossible += " " + lock;
                continue;
            }
            result = info.Install(Target().c_str());
            EXPECT_EQ(recorder.opens.size(), 1u);
        }
        // The read-only file system takes nothing, not even into its writable sub-directory.
        const bool nothing = lock == "read-only mount";
        EXPECT_EQ(result, nothing ? 3 : 2) << lock;
        EXPECT_EQ(TreeNames(TargetNative()), (nothing ? Names{"open"} : Names{"open", "open/c.dat"})) << lock;
        if (!nothing)
            ExpectInstalled("open\\c.dat");
        ExpectOutsideUnchanged();
    }
    if (!notPossible.empty())
        GTEST_SKIP() << "needs root and a file system that allows it:" << notPossible;
}

TEST_F(Failure, WhatStandsInTheWayStaysAsItWasAndLinksAreNeverWrittenThrough)
{
    const char* names[] = {"a.dat", "b.dat", "c.dat", "d.dat", "e.dat", "f.dat", "g.dat", "h.dat", "i.dat", "j.dat"};
    for (const char* name : names)
        Source(name);
    dir.Write("Arena\\maps", "a file named like the directory");
    Entry("data\\a.dat", "$setupdir\\maps\\");
    Entry("data\\b.dat", "$setupdir\\maps\\deep\\");
    fs::create_directories(TargetNative("c.dat"));
    dir.Write("Arena\\d.dat\\inside.txt", "kept");
    fs::create_directory_symlink(dir.Native("outside\\maps"), TargetNative("e.dat"));
    // Links to a file outside: the copy takes the link's place in the target.
    fs::create_symlink(dir.Native("outside\\keep.txt"), TargetNative("f.dat"));
    fs::create_hard_link(dir.Native("outside\\keep.txt"), TargetNative("g.dat"));
    dir.Write("Arena\\h.dat", "read-only by its mode");
    chmod(TargetNative("h.dat").c_str(), 0444);
    dir.Write("Arena\\i.dat", "immutable");
    for (size_t i = 2; i < std::size(names); ++i)
        Entry(std::string("data\\") + names[i], names[i][0] == 'j' ? "$setupdir\\other\\" : "$setupdir");
    SnapshotOutside();

    Undo locked = MakeImmutable(TargetNative("i.dat"));
    EXPECT_EQ(info.Install(Target().c_str()), locked ? 7 : 6);
    EXPECT_EQ(TreeNames(TargetNative()), (Names{"maps", "c.dat", "d.dat", "d.dat/inside.txt", "e.dat", "f.dat", "g.dat",
                                                "h.dat", "i.dat", "other", "other/j.dat"}));
    EXPECT_EQ(dir.Read("Arena\\maps"), "a file named like the directory");
    EXPECT_EQ(dir.Read("Arena\\d.dat\\inside.txt"), "kept");
    EXPECT_TRUE(fs::is_symlink(TargetNative("e.dat")));
    EXPECT_EQ(dir.Read("Arena\\h.dat"), "read-only by its mode");
    EXPECT_EQ(fs::status(TargetNative("h.dat")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (locked) {
        EXPECT_EQ(dir.Read("Arena\\i.dat"), "immutable");
    }
    for (const char* name : {"f.dat", "g.dat", "other\\j.dat"})
        ExpectInstalled(name);
    ExpectOutsideUnchanged();

    // The target itself a file: no C entry lands, the file stays as it was.
    dir.Write("outside\\Arena.txt", "a file chosen as the target");
    SnapshotOutside();
    EXPECT_EQ(info.Install((dir.Path() + "\\outside\\Arena.txt").c_str()), 10);
    ExpectOutsideUnchanged();
}

TEST_F(Failure, AFullDiskFailsTheCopyThatDoesNotFitAndKeepsEverythingElse)
{
    // 256 KB: a and b (64 KB each) fit, the old big.dat stays, the new one
    // (200 KB) cannot; c (32 KB) fits again once the partial copy is gone.
    for (auto [name, size] : {std::pair{"a.dat", 64}, {"b.dat", 64}, {"big.dat", 200}, {"c.dat", 32}})
        Source(name, std::string(size * 1024, name[0]));
    fs::create_directories(TargetNative());
    Undo disk = Mount(TargetNative(), "size=256k,mode=0755");
    if (!disk)
        GTEST_SKIP() << "mounting is not permitted here: no small tmpfs to fill up";
    dir.Write("Arena\\maps\\big.dat", "the old big.dat");
    Entry("data\\a.dat", "$setupdir");
    Entry("data\\b.dat", "$setupdir\\maps\\");
    Entry("data\\big.dat", "$setupdir\\maps\\");
    Entry("data\\c.dat", "$setupdir\\more\\");
    Entry("data\\e.txt", "$setupdir", "E");
    SnapshotOutside();

    EXPECT_EQ(info.Install(Target().c_str()), 1);
    EXPECT_EQ(recorder.opens.size(), 1u);
    EXPECT_EQ(TreeNames(TargetNative()), (Names{"a.dat", "maps", "maps/b.dat", "maps/big.dat", "more", "more/c.dat"}));
    EXPECT_EQ(dir.Read("Arena\\maps\\big.dat"), "the old big.dat");
    for (const char* name : {"a.dat", "maps\\b.dat", "more\\c.dat"})
        ExpectInstalled(name);

    // The partial copy's space is given back, not held by a file still open.
    struct statvfs diskStats {};
    ASSERT_EQ(statvfs(TargetNative().c_str(), &diskStats), 0);
    const unsigned long long used = (diskStats.f_blocks - diskStats.f_bfree) * diskStats.f_frsize;
    EXPECT_LT(used, (64 + 64 + 32 + 16) * 1024ull);
    ExpectOutsideUnchanged();
}

TEST_F(Failure, ASourceThatIsGoneOrCannotBeReadIsCountedAndNothingWaitsForIt)
{
    for (const char* name : {"a.dat", "b.dat", "secret.dat"})
        Source(name);
    chmod(dir.Native("package\\data\\secret.dat").c_str(), 0);
    fs::create_symlink("vanished.dat", dir.Native("package\\data\\dangling.dat"));
    fs::create_directories(dir.Native("package\\data\\folder.dat"));
    ASSERT_EQ(mkfifo(dir.Native("package\\data\\pipe.dat").c_str(), 0666), 0);
    // Opening the pipe for reading must not block.
    for (const char* name : {"a.dat", "missing.dat", "dangling.dat", "folder.dat", "pipe.dat", "secret.dat"})
        Entry(std::string("data\\") + name, "$setupdir");
    Entry("data\\b.dat", "$setupdir\\maps\\");
    fs::create_directories(TargetNative());
    fs::permissions(TargetNative(), fs::perms::all);
    SnapshotOutside();

    std::optional<int> result = InstallAsUnprivilegedUser(info, Target(), 30);
    ASSERT_TRUE(result.has_value()) << "Install did not finish: a source kept it waiting";
    ASSERT_NE(*result, kCannotDropRights) << "the child could not drop to the user nobody";
    EXPECT_EQ(*result, 5);
    EXPECT_EQ(TreeNames(TargetNative()), (Names{"a.dat", "maps", "maps/b.dat"}));
    ExpectInstalled("a.dat");
    ExpectInstalled("maps\\b.dat");
    ExpectOutsideUnchanged();
}

TEST_F(Failure, ACopyOfALongNameIsWholeAndTakesTheSourcesPermissionsLessTheSpecialBitsAndTheUmask)
{
    // A relative target leaves room for a name of 250 characters in 259:
    // the copy may not need a longer temporary name beside it.
    const std::string tool = std::string(246, 'n') + ".exe";
    Source(tool);
    Source("open.dat");
    chmod(dir.Native("package\\data\\" + tool).c_str(), 06777);
    chmod(dir.Native("package\\data\\open.dat").c_str(), 0666);
    Entry("data\\" + tool, "$setupdir");
    Entry("data\\open.dat", "$setupdir");
    SnapshotOutside();
    const mode_t previous = umask(022);
    EXPECT_EQ(info.Install("..\\Arena"), 0);
    umask(previous);
    EXPECT_EQ(TreeNames(TargetNative()), (Names{tool, "open.dat"}));
    ExpectInstalled(tool);
    EXPECT_EQ(static_cast<unsigned>(fs::status(TargetNative(tool)).permissions()), 0755u);
    EXPECT_EQ(static_cast<unsigned>(fs::status(TargetNative("open.dat")).permissions()), 0644u);
    ExpectOutsideUnchanged();
}
