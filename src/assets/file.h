// file.h -- the texture reader's files: only regular files are opened, and read at offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace assets {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for reading if it is a regular file, and gives its size. Otherwise says why in
// a few words ("no such file", "not a regular file", ...) and leaves `file` empty. A FIFO, a
// device or a folder is refused before anything is read from it. One version per platform.
std::string openRegularFile(const std::string& path, File* file, std::uint64_t* size);

// Fills `count` bytes from file position `offset`. Gives nullptr when it did, `early` when the
// file ended first (it may shrink while it is read), or another reason.
const char* readFileAt(std::FILE* file, std::uint8_t* out, std::size_t count, std::uint64_t offset,
                       const char* early);

// Why an open or stat call failed, from its errno.
std::string openFailureReason(int error);

// `path` as the system writes paths, for messages: with backslashes on Windows. One version per
// platform.
std::string nativePath(std::string path);

// Moves to `offset` from the start of the file; false if it cannot. One version per platform:
// the standard fseek takes a long, 32 bits on Windows.
bool seekFile(std::FILE* file, std::uint64_t offset);

}  // namespace assets
