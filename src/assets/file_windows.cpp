// file_windows.cpp -- the regular-file check and 64-bit seeking with the Windows C runtime.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "assets/file.h"

namespace assets {

namespace {

constexpr const char* kNotRegular = "not a regular file";

bool isRegular(unsigned short mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}

}  // namespace

// The type is looked at before the open (a folder or a device such as NUL or COM1 is never
// opened) and again on the open file, which is what is read.
std::string openRegularFile(const std::string& path, File* file, std::uint64_t* size) {
    struct _stat64 named {};
    if (::_stat64(path.c_str(), &named) != 0) {
        return openFailureReason(errno);
    }
    if (!isRegular(named.st_mode)) {
        return kNotRegular;
    }
    File opened(std::fopen(path.c_str(), "rb"));
    if (!opened) {
        return openFailureReason(errno);
    }
    struct _stat64 status {};
    if (::_fstat64(::_fileno(opened.get()), &status) != 0) {
        return "cannot read";
    }
    if (!isRegular(status.st_mode)) {
        return kNotRegular;
    }
    // Whole rows are read at a time: a stream buffer would only copy them once more.
    std::setvbuf(opened.get(), nullptr, _IONBF, 0);
    *file = std::move(opened);
    *size = static_cast<std::uint64_t>(status.st_size);
    return "";
}

bool seekFile(std::FILE* file, std::uint64_t offset) {
    return ::_fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

}  // namespace assets
