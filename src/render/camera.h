// camera.h -- the camera of each view mode.
#pragma once

namespace render {

// Multiplies the selected view mode's camera onto the (identity) model-view matrix.
void applyCamera();

}  // namespace render
