// frame.h -- the composition of one frame and the projection that follows the window size.
#pragma once

namespace render {

// Sets the viewport and the 55-degree perspective for a client area; height 0 counts as 1.
void resizeViewport(int width, int height);

// Clears, places the camera, draws the world (one game tick) and the HUD.
// The caller presents the frame.
void renderFrame();

}  // namespace render
