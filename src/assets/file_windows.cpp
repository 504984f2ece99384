// file_windows.cpp -- the regular-file check, opening and 64-bit seeking with the Windows C
// runtime.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <utility>

#include "assets/file.h"

namespace assets {

namespace {

constexpr const char* kNotRegular = "not a regular file";

bool isRegular(unsigned short mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}

// The game's paths are UTF-8. The runtime's narrow calls read a path in the ANSI code page, which
// has no room for most of the world's letters (a folder named "Łódź" or "日本" is not found);
// the wide calls take UTF-16, which holds them all. False for a path that is not UTF-8.
bool toUtf16(const std::string& path, std::wstring* wide) {
    try {
        *wide = std::filesystem::u8path(path).native();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

// The type is looked at before the open (a folder or a device such as NUL or COM1 is never
// opened) and again on the open file, which is what is read.
std::string openRegularFile(const std::string& path, File* file, std::uint64_t* size) {
    std::wstring wide;
    if (!toUtf16(path, &wide)) {
        return "no such file";
    }
    struct _stat64 named {};
    if (::_wstat64(wide.c_str(), &named) != 0) {
        return openFailureReason(errno);
    }
    if (!isRegular(named.st_mode)) {
        return kNotRegular;
    }
    File opened(::_wfopen(wide.c_str(), L"rb"));
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

std::string nativePath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool seekFile(std::FILE* file, std::uint64_t offset) {
    return ::_fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

}  // namespace assets
