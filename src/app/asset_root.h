// asset_root.h -- where the game's "textures" folder is found, wherever the game is started.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace app {

// The folders that may hold "textures", most specific first, each named once: the working
// directory (named in full, so that messages show where the files were looked for), the
// executable's own folder, a relocated install next to it (<exe>/../`dataSubdir`, as in
// <prefix>/bin/../share/vantorix) and the data directory chosen at build time. Empty
// arguments are left out.
std::vector<std::string> assetRootCandidates(const std::string& exeDir,
                                             const std::string& installedDataDir,
                                             const std::string& dataSubdir);

// The first candidate whose "textures" folder holds at least one of the game's eight files:
// that folder is the game's, and a file it lacks is reported against it rather than taken
// from elsewhere. An empty or unrelated "textures" folder is passed over. When no candidate
// holds any, the first (the working directory), so the missing files are named there.
std::string findAssetRoot(const std::vector<std::string>& candidates);

// As findAssetRoot; when no candidate holds any of the files, says so once on `err`, naming
// every folder searched.
std::string chooseAssetRoot(const std::vector<std::string>& candidates, std::FILE* err);

}  // namespace app
