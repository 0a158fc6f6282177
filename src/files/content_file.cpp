#include "files/content_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Returns the word for what a non-regular file is.
const char* kindOfNode(mode_t mode) {
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISFIFO(mode)) return "is a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
    if (S_ISSOCK(mode)) return "is a socket";
    return "is not a regular file";
}

// Closes the descriptor when the read is over.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::size_t contentSizeLimit(ContentKind kind) {
    constexpr std::size_t MiB = std::size_t{1} << 20;
    switch (kind) {
    case ContentKind::Level:
        return 16 * MiB;  // some 300,000 blocks
    case ContentKind::Model:
        return 64 * MiB;
    case ContentKind::Texture:
        return 64 * MiB;  // a 4096 x 4096 RGBA image, uncompressed
    case ContentKind::Font:
        return 16 * MiB;
    case ContentKind::Shader:
        return 1 * MiB;
    case ContentKind::Sound:
        return 64 * MiB;
    }
    return 0;
}

ContentFile readContentFile(const std::string& path, ContentKind kind) {
    ContentFile file;
    const std::size_t limit = contentSizeLimit(kind);
    Descriptor in{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (in.fd < 0) {
        file.missing = errno == ENOENT;
        file.why = std::strerror(errno);
        return file;
    }
    struct stat info {};
    if (::fstat(in.fd, &info) != 0) {
        file.why = std::strerror(errno);
        return file;
    }
    if (!S_ISREG(info.st_mode)) {
        file.why = kindOfNode(info.st_mode);
        return file;
    }
    const std::string tooLarge = "is larger than " + std::to_string(limit) + " bytes";
    if (static_cast<unsigned long long>(info.st_size) > limit) {
        file.why = tooLarge;
        return file;
    }
    file.text.resize(static_cast<std::size_t>(info.st_size));
    std::size_t have = 0;
    while (true) {
        // one byte past the size seen, to notice a file that grew meanwhile
        if (have == file.text.size()) file.text.resize(std::min(have + 65536, limit + 1));
        const ssize_t got = ::read(in.fd, file.text.data() + have, file.text.size() - have);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            file.why = std::string("read error: ") + std::strerror(errno);
            file.text.clear();
            return file;
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
        if (have > limit) {
            file.why = tooLarge;
            file.text.clear();
            return file;
        }
    }
    file.text.resize(have);
    return file;
}

std::string contentRefusal(const std::string& path, const ContentFile& file) {
    return "ERROR: cannot read " + path + ": " + file.why;
}
