// asset_root.cpp -- picks the one folder that serves the eight textures.
#include "app/asset_root.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "assets/textures.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// Any entry by the name of a game file counts, whatever it is: if it cannot be read, the
// loader says so against this folder.
bool holdsAGameFile(const std::string& root) {
    return std::any_of(assets::kTextureFiles.begin(), assets::kTextureFiles.end(),
                       [&root](const assets::TextureFile& file) {
                           std::error_code error;
                           return fs::exists(fs::symlink_status(fs::path(root) / file.path, error));
                       });
}

fs::path texturesFolder(const std::string& root) {
    return fs::path(root) / fs::path(assets::kTextureFiles.front().path).parent_path();
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

// Empty when it cannot be told (the folder was removed), which still means the working
// directory to the loader.
std::string workingDirectory() {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    return error ? std::string() : here.string();
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
        const fs::path exe(exeDir);
        add(exe.string());
        if (!dataSubdir.empty()) {
            add((exe / ".." / dataSubdir).lexically_normal().string());
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
        searched += (searched.empty() ? "" : ", ") + texturesFolder(candidate).string();
    }
    std::fprintf(err, "Vantorix: found none of the game's textures; searched %s\n",
                 searched.c_str());
    return workingDirectoryOf(candidates);
}

}  // namespace app
