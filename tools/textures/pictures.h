// pictures.h -- the seven painted textures (the font atlas is in font_atlas.h).
#pragma once

#include "canvas.h"

namespace textures_gen {

Canvas paintSphere();    // marbled blue-white stone
Canvas paintBackdrop();  // dusk sky over mountains
Canvas paintCrate();     // pale wooden crate: planks, a braced frame, nails
Canvas paintHeart();     // red heart on see-through black
Canvas paintGrid();      // a dark floor tile with a steel-blue border
Canvas paintFace();      // a snake's face
Canvas paintSkin();      // overlapping bright lime scales, seamless

}  // namespace textures_gen
