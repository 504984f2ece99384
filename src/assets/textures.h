// textures.h -- the eight game textures, loaded once from BMP files.
#pragma once

#include <GL/gl.h>

#include <string>

namespace assets {

struct TextureSet {
    GLuint texSphere = 0;
    GLuint texBackdrop = 0;
    GLuint texBox = 0;
    GLuint texFont = 0;
    GLuint texHeart = 0;
    GLuint texGrid = 0;
    GLuint texFace = 0;
    GLuint texBody = 0;
};

extern TextureSet textures;

// The folder that holds "textures/"; texture paths are resolved against it.
// Empty (the default) means the working directory.
void setAssetRoot(const std::string& root);
const std::string& assetRoot();

// Generates and binds a texture name, then fills it from the BMP at `path` (relative to the
// asset root). A file that cannot be loaded leaves a 1x1 opaque white texture and one line
// on stderr.
void createTexture(const char* path, GLuint* name);

// Creates the eight textures in table order; texBody is left bound.
void loadTextures();

}  // namespace assets
