// cases.h -- the case table shared by the native reference and the browser page.
#pragma once

namespace cases {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Case {
    const char* name;
    void (*draw)();
};

// Loads the textures and the font the cases use (the asset root must be set).
void prepare();
int count();
const Case& at(int index);
// Draws case `index` from a fresh state into the current context, and waits for it.
void draw(int index);

}  // namespace cases
