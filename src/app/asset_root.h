// asset_root.h -- where the game's "textures" folder is found, wherever the game is started.
#pragma once

#include <string>
#include <vector>

namespace app {

// The folders that may hold "textures", most specific first: the working directory (the empty
// string), the executable's own folder, a relocated install next to it (<exe>/../share/vantorix)
// and the data directory chosen at build time. `exeDir` may be empty when it is unknown.
std::vector<std::string> assetRootCandidates(const std::string& exeDir,
                                             const std::string& installedDataDir);

// The first candidate that has a "textures" folder; the working directory when none has one,
// so that the texture loader reports the missing files against the usual relative paths.
std::string findAssetRoot(const std::vector<std::string>& candidates);

}  // namespace app
