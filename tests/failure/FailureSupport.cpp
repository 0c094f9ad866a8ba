#include "FailureSupport.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <functional>
#include <grp.h>
#include <linux/fs.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>


namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

Snapshot TakeSnapshot(const fs::path& root, const fs::path& skip)
{
    Snapshot snapshot;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        if (it->path() == skip) {
            it.disable_recursion_pending();
            continue;
        }
        const fs::file_status status = fs::symlink_status(it->path());
        std::string node = std::to_string(static_cast<int>(status.type())) + " " +
                           std::to_string(static_cast<unsigned>(status.permissions())) + " ";
        if (fs::is_symlink(status))
            node += fs::read_symlink(it->path()).string();
        else if (fs::is_regular_file(status))
            node += std::to_string(std::hash<std::string>{}(ReadAll(it->path())));
        snapshot[it->path().lexically_relative(root).string()] = node;
    }
    return snapshot;
}

namespace {

bool SetImmutable(const fs::path& path, bool set)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int flags = 0;
    bool changed = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = set ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    changed = changed && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        close(fd);
    return changed;
}

Undo Doing(const std::function<void()>& undo)
{
    static char token;
    return Undo(&token, [undo](void*) { undo(); });
}

}  // namespace

Undo MakeImmutable(const fs::path& path)
{
    return SetImmutable(path, true) ? Doing([path] { SetImmutable(path, false); }) : nullptr;
}

Undo Mount(const fs::path& directory, const std::string& tmpfsOptions)
{
    const char* at = directory.c_str();
    const bool mounted = tmpfsOptions.empty() ? mount(at, at, nullptr, MS_BIND, nullptr) == 0
                                              : mount("tmpfs", at, "tmpfs", 0, tmpfsOptions.c_str()) == 0;
    if (!mounted)
        return nullptr;
    Undo undo = Doing([directory] { umount2(directory.c_str(), MNT_DETACH); });
    if (tmpfsOptions.empty() && mount(nullptr, at, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        return nullptr;  // the bind is detached again here
    return undo;
}

std::optional<int> InstallAsUnprivilegedUser(const CSetupInfo& info, const std::string& target, int timeoutSeconds)
{
    const passwd* nobody = getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    pid_t child = fork();
    if (child == 0) {
        alarm(timeoutSeconds);  // a child that hangs is killed by the alarm
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            _exit(kCannotDropRights);
        prctl(PR_SET_DUMPABLE, 1);  // the sanitizers still read /proc/self
        int result = info.Install(target.c_str());
        _exit(result < kCannotDropRights ? result : kCannotDropRights - 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

void CFailureTest::ExpectInstalled(const std::string& relative) const
{
    const fs::path installed = TargetNative(relative);
    const std::string name = relative.substr(relative.rfind('\\') + 1);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(installed))) << relative << " is not installed";
    EXPECT_EQ(ReadAll(installed), ReadAll(dir.Native("package\\data\\" + name))) << relative;
}
