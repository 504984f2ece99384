// pictures.h -- the seven painted textures (the font atlas is in font_atlas.h).
#pragma once

#include "canvas.h"

namespace textures_gen {

Canvas paintSphere();    // marbled blue-white stone
Canvas paintBackdrop();  // dusk sky over mountains
Canvas paintCrate();     // wooden crate with a braced frame
Canvas paintHeart();     // red heart on see-through black
Canvas paintGrid();      // blue tiles with bright grout lines
Canvas paintFace();      // a snake's face
Canvas paintSkin();      // overlapping green scales, seamless

}  // namespace textures_gen
