// textures.h -- the eight game textures, loaded once from BMP files.
#pragma once

#include <GL/gl.h>

#include <array>
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

// One texture: its file relative to the asset root, and the member that receives its name.
struct TextureFile {
    const char* path;
    GLuint TextureSet::*member;
};

// The eight textures in the order their names are generated; the last one stays bound.
constexpr std::array<TextureFile, 8> kTextureFiles = {{
    {"textures/sphTex.bmp", &TextureSet::texSphere},
    {"textures/bg.bmp", &TextureSet::texBackdrop},
    {"textures/box.bmp", &TextureSet::texBox},
    {"textures/czcionka2.bmp", &TextureSet::texFont},
    {"textures/heart.bmp", &TextureSet::texHeart},
    {"textures/blueC.bmp", &TextureSet::texGrid},
    {"textures/face.bmp", &TextureSet::texFace},
    {"textures/body.bmp", &TextureSet::texBody},
}};

// The folder that holds "textures/"; texture paths are resolved against it.
// Empty (the default) means the working directory.
void setAssetRoot(const std::string& root);

// Generates and binds a texture name, then fills it from the BMP at `path` (relative to the
// asset root). A file that cannot be loaded leaves a 1x1 opaque white texture and one line
// on stderr naming the file by the path tried and saying why.
void createTexture(const char* path, GLuint* name);

// Creates the eight textures in table order; texBody is left bound.
void loadTextures();

}  // namespace assets
