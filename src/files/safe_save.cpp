#include "files/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;

std::string failure(const std::string& path, const std::string& why) {
    std::string line = "cannot save ";
    line.append(path).append(": ").append(why);
    return line;
}

// Writes all of `text` to `fd`; returns 0 or the error number.
int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Syncs the folder holding `file`, so the rename itself is on the disk.
void syncFolderOf(const std::string& file) {
    const fs::path parent = fs::path(file).parent_path();
    const fs::path dir = parent.empty() ? fs::path(".") : parent;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileStamp fileStampOf(const std::string& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return stamp;
}

std::string saveTargetOf(const std::string& path) {
    fs::path target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error))) return target.string();
        const fs::path link = fs::read_symlink(target, error);
        if (error) return target.string();
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target.string();
}

std::string saveTemporaryOf(const std::string& path) { return saveTargetOf(path) + ".saving"; }

SaveResult saveFileSafely(const std::string& path, const std::string& text) {
    SaveResult result;
    const std::string target = saveTargetOf(path);
    struct stat old {};
    const bool existed = ::lstat(target.c_str(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode)) {
        result.error = failure(path, "too many levels of symbolic links");
        return result;
    }
    if (existed && !S_ISREG(old.st_mode)) {
        result.error = failure(path, "not a regular file");
        return result;
    }
    // the write bits, not only access(): a read-only file stays refused for root as well
    if (existed && ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        result.error = failure(path, "the file is read-only; nothing was written");
        return result;
    }

    const std::string temporary = target + ".saving";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        result.error = failure(path, std::strerror(errno));
        return result;
    }
    int why = writeAll(fd, text);
    if (!why && existed && ::fchmod(fd, old.st_mode & 07777) != 0) why = errno;
    if (!why && ::fsync(fd) != 0) why = errno;
    if (::close(fd) != 0 && !why) why = errno;
    if (!why && ::rename(temporary.c_str(), target.c_str()) != 0) why = errno;
    if (why) {
        ::unlink(temporary.c_str());
        result.error = failure(path, std::strerror(why));
        return result;
    }
    // the new file is whole on the disk already; a folder that cannot be
    // synced (some file systems refuse) only leaves the rename to the kernel
    syncFolderOf(target);
    result.stamp = fileStampOf(target);
    return result;
}
