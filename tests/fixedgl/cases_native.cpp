// cases_native.cpp -- draws every case with OSMesa and writes its pixels, the reference.
//
// usage: fixedgl_cases ASSET_ROOT OUT_DIR; writes OUT_DIR/NAME.rgba, bottom row first.
#include <GL/osmesa.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/textures.h"
#include "cases.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fixedgl_cases ASSET_ROOT OUT_DIR\n");
        return 2;
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(cases::kWidth) * cases::kHeight * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context == nullptr || !OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE,
                                                 cases::kWidth, cases::kHeight)) {
        std::fprintf(stderr, "fixedgl_cases: no offscreen GL context\n");
        return 1;
    }
    assets::setAssetRoot(argv[1]);
    cases::prepare();
    for (int i = 0; i < cases::count(); ++i) {
        cases::draw(i);
        const std::string path = std::string(argv[2]) + "/" + cases::at(i).name + ".rgba";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr ||
            std::fwrite(pixels.data(), 1, pixels.size(), file) != pixels.size()) {
            std::fprintf(stderr, "fixedgl_cases: cannot write %s\n", path.c_str());
            return 1;
        }
        std::fclose(file);
    }
    OSMesaDestroyContext(context);
    return 0;
}
