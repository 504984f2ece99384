// asset_root.cpp -- picks the one folder that serves all eight textures.
#include "app/asset_root.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace app {
namespace {

constexpr const char* kTextureFolder = "textures";

bool hasTextureFolder(const std::string& root) {
    const std::filesystem::path folder = root.empty()
                                             ? std::filesystem::path(kTextureFolder)
                                             : std::filesystem::path(root) / kTextureFolder;
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

}  // namespace

std::vector<std::string> assetRootCandidates(const std::string& exeDir,
                                             const std::string& installedDataDir) {
    std::vector<std::string> candidates{""};
    if (!exeDir.empty()) {
        const std::filesystem::path exe(exeDir);
        candidates.push_back(exe.string());
        candidates.push_back((exe / ".." / "share" / "vantorix").lexically_normal().string());
    }
    if (!installedDataDir.empty()) {
        candidates.push_back(installedDataDir);
    }
    return candidates;
}

std::string findAssetRoot(const std::vector<std::string>& candidates) {
    const auto found = std::find_if(candidates.begin(), candidates.end(), hasTextureFolder);
    return found != candidates.end() ? *found : std::string();
}

}  // namespace app
