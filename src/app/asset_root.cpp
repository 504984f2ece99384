// asset_root.cpp -- picks the one folder that serves the eight textures.
#include "app/asset_root.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "assets/textures.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// The game's paths are UTF-8. The standard library takes a plain string in the system's
// narrow encoding, which on Windows is the ANSI code page and loses every other character;
// u8path and u8string keep them, and are plain strings on POSIX.
fs::path pathOf(const std::string& utf8) {
    return fs::u8path(utf8);
}

// Any entry by the name of a game file counts, whatever it is: if it cannot be read, the
// loader says so against this folder.
bool holdsAGameFile(const std::string& root) {
    return std::any_of(
        assets::kTextureFiles.begin(), assets::kTextureFiles.end(),
        [&root](const assets::TextureFile& file) {
            std::error_code error;
            return fs::exists(fs::symlink_status(pathOf(root) / pathOf(file.path), error));
        });
}

// With the system's own separator: "textures" is joined to the folder as the player sees it.
std::string texturesFolder(const std::string& root) {
    return (pathOf(root) / pathOf(assets::kTextureFiles.front().path).parent_path())
        .make_preferred()
        .u8string();
}

std::optional<std::string> firstHoldingAGameFile(const std::vector<std::string>& candidates) {
    const auto found = std::find_if(candidates.begin(), candidates.end(), holdsAGameFile);
    return found != candidates.end() ? std::optional<std::string>(*found) : std::nullopt;
}

// The folder the missing files are reported against: the first candidate, the working
// directory.
std::string workingDirectoryOf(const std::vector<std::string>& candidates) {
    return candidates.empty() ? std::string() : candidates.front();
}

// Empty when it cannot be told (the folder was removed, or its Windows name holds half of a
// UTF-16 pair, which has no UTF-8 form), which still means the working directory to the loader.
std::string workingDirectory() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    if (error) {
        return std::string();
    }
    try {
        return here.u8string();
    } catch (const std::exception&) {
        return std::string();
    }
}

}  // namespace

std::vector<std::string> assetRootCandidates(const std::string& exeDir,
                                             const std::string& installedDataDir,
                                             const std::string& dataSubdir) {
    std::vector<std::string> candidates;
    const auto add = [&candidates](const std::string& folder) {
        if (std::find(candidates.begin(), candidates.end(), folder) == candidates.end()) {
            candidates.push_back(folder);
        }
    };
    add(workingDirectory());
    if (!exeDir.empty()) {
        add(exeDir);
        if (!dataSubdir.empty()) {
            add((pathOf(exeDir) / ".." / pathOf(dataSubdir)).lexically_normal().u8string());
        }
    }
    if (!installedDataDir.empty()) {
        add(installedDataDir);
    }
    return candidates;
}

std::string findAssetRoot(const std::vector<std::string>& candidates) {
    return firstHoldingAGameFile(candidates).value_or(workingDirectoryOf(candidates));
}

std::string chooseAssetRoot(const std::vector<std::string>& candidates, std::FILE* err) {
    if (std::optional<std::string> found = firstHoldingAGameFile(candidates)) {
        return *found;
    }
    std::string searched;
    for (const std::string& candidate : candidates) {
        searched += (searched.empty() ? "" : ", ") + texturesFolder(candidate);
    }
    std::fprintf(err, "Vantorix: found none of the game's textures; searched %s\n",
                 searched.c_str());
    return workingDirectoryOf(candidates);
}

}  // namespace app
