// file.cpp -- reading at offsets with the standard library's streams, on every platform.
#include "assets/file.h"

#include <cerrno>

namespace assets {

std::string openFailureReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "no such file";
        case EACCES:
            return "permission denied";
        default:
            return "cannot open";
    }
}

const char* readFileAt(std::FILE* file, std::uint8_t* out, std::size_t count, std::uint64_t offset,
                       const char* early) {
    if (!seekFile(file, offset)) {
        return "cannot read";
    }
    if (std::fread(out, 1, count, file) == count) {
        return nullptr;
    }
    return std::ferror(file) != 0 ? "cannot read" : early;
}

}  // namespace assets
