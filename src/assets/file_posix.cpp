// file_posix.cpp -- the regular-file check and 64-bit seeking on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "assets/file.h"

namespace assets {

namespace {

constexpr const char* kNotRegular = "not a regular file";

}  // namespace

// The type is looked at before the open, since opening some devices does something (rewinding
// a tape, starting a watchdog), and again on the open file, which is what is read. O_NONBLOCK
// keeps a FIFO or a device that took the path in between from blocking the open.
std::string openRegularFile(const std::string& path, File* file, std::uint64_t* size) {
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        return openFailureReason(errno);
    }
    if (!S_ISREG(named.st_mode)) {
        return kNotRegular;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return openFailureReason(errno);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        ::close(fd);
        return "cannot read";
    }
    if (!S_ISREG(opened.st_mode)) {
        ::close(fd);
        return kNotRegular;
    }
    std::FILE* stream = ::fdopen(fd, "rb");
    if (stream == nullptr) {
        ::close(fd);
        return "cannot open";
    }
    // Whole rows are read at a time: a stream buffer would only copy them once more.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    file->reset(stream);
    *size = static_cast<std::uint64_t>(opened.st_size);
    return "";
}

std::string nativePath(std::string path) {
    return path;
}

bool seekFile(std::FILE* file, std::uint64_t offset) {
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace assets
