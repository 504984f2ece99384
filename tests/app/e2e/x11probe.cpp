// x11probe.cpp -- small X11 chores for the end-to-end tests: screenshots of a window, a
// comparison of two screenshots, the place of a window in a screenshot of a whole desktop,
// a window manager's polite close request, and the times at which a key reaches the window
// and the picture answers it.
//   x11probe shot WINDOW OUT        writes OUT.png (to look at) and OUT.ppm (to compare)
//   x11probe diff A.ppm B.ppm X Y W H   prints how many 10x10 blocks of the region differ clearly
//   x11probe red IMAGE.ppm X Y W H  prints how many pixels of the region are strongly red
//   x11probe box IMAGE.ppm RRGGBB   prints "X Y W H", what stands out from a plain backdrop
//   x11probe close WINDOW           sends WM_DELETE_WINDOW as a ClientMessage
//   x11probe keypress WINDOW SECONDS
//                                   waits for a key press delivered to the window; prints
//                                   "listening", then the wall-clock time it arrived in ns
//   x11probe watch WINDOW X Y W H BLOCKS SECONDS
//                                   waits for a key press delivered to the window, then for a
//                                   sudden change: more than BLOCKS blocks of the region
//                                   differing clearly from one picture to the next; prints
//                                   "listening", then the two wall-clock times (press, change)
//                                   in ns and the number of blocks
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "png_file.h"

namespace {

constexpr int kBlock = 10;                 // compared in blocks of 10x10 pixels
constexpr double kClearDifference = 20.0;  // per channel of a block's mean colour
// A pixel stands out from the backdrop by more than half the range in some channel: a window's
// soft shadow does not, its title bar and contents do. A row or column belongs to the window when
// it has this many such pixels, which a pointer drawn on the backdrop never has.
constexpr int kStandOut = 128;
constexpr int kWindowRun = 100;
constexpr auto kWatchInterval = std::chrono::milliseconds(2);
constexpr int kWatchTimedOut = 3;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Window parseWindow(const char* text) {
    return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

int channelShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1UL) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Reads a width x height region of the window from (x, y) on.
bool grabRegion(Display* display, Window window, int x, int y, int width, int height,
                Image* image) {
    XImage* picture = XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap);
    if (picture == nullptr)
        return false;
    image->width = width;
    image->height = height;
    image->rgb.resize(static_cast<std::size_t>(image->width) * image->height * 3);
    const int shifts[3] = {channelShift(picture->red_mask), channelShift(picture->green_mask),
                           channelShift(picture->blue_mask)};
    const unsigned long masks[3] = {picture->red_mask, picture->green_mask, picture->blue_mask};
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(picture, x, y);
            std::uint8_t* out = &image->rgb[(static_cast<std::size_t>(y) * image->width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>((pixel & masks[c]) >> shifts[c]);
            }
        }
    }
    XDestroyImage(picture);
    return true;
}

bool grab(Display* display, Window window, Image* image) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        return false;
    return grabRegion(display, window, 0, 0, attributes.width, attributes.height, image);
}

bool writePpm(const std::string& path, const Image& image) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()),
              static_cast<std::streamsize>(image.rgb.size()));
    return static_cast<bool>(out);
}

bool readPpm(const std::string& path, Image* image) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image->width >> image->height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255 || image->width <= 0 || image->height <= 0) {
        return false;
    }
    image->rgb.resize(static_cast<std::size_t>(image->width) * image->height * 3);
    in.read(reinterpret_cast<char*>(image->rgb.data()),
            static_cast<std::streamsize>(image->rgb.size()));
    return static_cast<bool>(in);
}

bool writePng(const std::string& path, const Image& image) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(image.width) * image.height * 4);
    for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
        std::memcpy(&rgba[i * 4], &image.rgb[i * 3], 3);
        rgba[i * 4 + 3] = 255;
    }
    return png::writeRgba(path, rgba.data(), image.width, image.height, false);
}

int shot(Display* display, Window window, const std::string& out) {
    Image image;
    if (!grab(display, window, &image)) {
        std::fprintf(stderr, "x11probe: cannot read window 0x%lx\n", window);
        return 1;
    }
    if (!writePng(out + ".png", image) || !writePpm(out + ".ppm", image)) {
        std::fprintf(stderr, "x11probe: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

// The mean colour of a block of pixels: thin lines that shift by a pixel or two between frames
// hardly change it, while an object that moves or a new view does.
std::array<double, 3> blockMean(const Image& image, int bx, int by) {
    std::array<double, 3> sum{};
    for (int y = by; y < by + kBlock; ++y) {
        for (int x = bx; x < bx + kBlock; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
            for (int c = 0; c < 3; ++c)
                sum[c] += image.rgb[at + c];
        }
    }
    for (double& channel : sum)
        channel /= kBlock * kBlock;
    return sum;
}

// The 10x10 blocks of the region from (x0, y0) to (x1, y1) whose mean colours differ clearly
// between two pictures of the same size.
long changedBlocks(const Image& a, const Image& b, int x0, int y0, int x1, int y1) {
    long changed = 0;
    for (int by = y0; by + kBlock <= y1; by += kBlock) {
        for (int bx = x0; bx + kBlock <= x1; bx += kBlock) {
            const auto meanA = blockMean(a, bx, by);
            const auto meanB = blockMean(b, bx, by);
            for (int c = 0; c < 3; ++c) {
                if (std::fabs(meanA[c] - meanB[c]) > kClearDifference) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return changed;
}

int diff(char** argv) {
    Image a;
    Image b;
    if (!readPpm(argv[2], &a) || !readPpm(argv[3], &b) || a.width != b.width ||
        a.height != b.height) {
        std::fprintf(stderr, "x11probe: cannot compare %s and %s\n", argv[2], argv[3]);
        return 1;
    }
    const int x0 = std::max(0, std::atoi(argv[4]));
    const int y0 = std::max(0, std::atoi(argv[5]));
    const int x1 = std::min(a.width, x0 + std::atoi(argv[6]));
    const int y1 = std::min(a.height, y0 + std::atoi(argv[7]));
    std::printf("%ld\n", changedBlocks(a, b, x0, y0, x1, y1));
    return 0;
}

// Strongly red pixels in a region: the hearts of the lives display, which nothing else on the
// screen (blue grid, brown boxes, green snake, yellow food) comes close to.
int red(char** argv) {
    Image image;
    if (!readPpm(argv[2], &image)) {
        std::fprintf(stderr, "x11probe: cannot read %s\n", argv[2]);
        return 1;
    }
    const int x0 = std::max(0, std::atoi(argv[3]));
    const int y0 = std::max(0, std::atoi(argv[4]));
    const int x1 = std::min(image.width, x0 + std::atoi(argv[5]));
    const int y1 = std::min(image.height, y0 + std::atoi(argv[6]));
    long count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
            if (p[0] > 150 && p[1] < 90 && p[2] < 90)
                ++count;
        }
    }
    std::printf("%ld\n", count);
    return 0;
}

bool standsOut(const std::uint8_t* pixel, const std::array<int, 3>& backdrop) {
    for (int c = 0; c < 3; ++c) {
        if (std::abs(pixel[c] - backdrop[c]) > kStandOut)
            return true;
    }
    return false;
}

// The first and one past the last index whose count reaches kWindowRun; both 0 if none does.
std::array<int, 2> span(const std::vector<int>& counts) {
    std::array<int, 2> found{0, 0};
    for (int i = 0; i < static_cast<int>(counts.size()); ++i) {
        if (counts[i] < kWindowRun)
            continue;
        if (found[1] == 0)
            found[0] = i;
        found[1] = i + 1;
    }
    return found;
}

// The rectangle of a window on a plain backdrop of colour RRGGBB: the span of the rows and of the
// columns that have enough pixels standing out from it. "0 0 0 0" when nothing does.
int box(char** argv) {
    Image image;
    if (!readPpm(argv[2], &image)) {
        std::fprintf(stderr, "x11probe: cannot read %s\n", argv[2]);
        return 1;
    }
    if (std::strlen(argv[3]) != 6 || std::strspn(argv[3], "0123456789abcdefABCDEF") != 6) {
        std::fprintf(stderr, "x11probe: %s is not a colour RRGGBB\n", argv[3]);
        return 1;
    }
    const unsigned long colour = std::strtoul(argv[3], nullptr, 16);
    const std::array<int, 3> backdrop = {static_cast<int>((colour >> 16) & 0xff),
                                         static_cast<int>((colour >> 8) & 0xff),
                                         static_cast<int>(colour & 0xff)};
    std::vector<int> rows(image.height, 0);
    std::vector<int> columns(image.width, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (standsOut(&image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3],
                          backdrop)) {
                ++rows[y];
                ++columns[x];
            }
        }
    }
    const auto across = span(columns);
    const auto down = span(rows);
    std::printf("%d %d %d %d\n", across[0], down[0], across[1] - across[0], down[1] - down[0]);
    return 0;
}

long long wallClockNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Key presses go to every client that asks for them, so the probe sees the game's keys arrive
// at the same moment the game does, whoever sent them.
// "listening" on a line of its own tells the caller that keys may be sent now.
void listenForKeys(Display* display, Window window) {
    XSelectInput(display, window, KeyPressMask);
    XSync(display, False);
    std::printf("listening\n");
    std::fflush(stdout);
}

// Takes the events that have arrived; returns the wall-clock time of a key press among them,
// or 0 if there was none.
long long takeKeyPress(Display* display) {
    long long pressed = 0;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress && pressed == 0) {
            pressed = wallClockNanoseconds();
        }
    }
    return pressed;
}

// Waits up to `limit` for a key press; 0 if none came.
long long awaitKeyPress(Display* display, std::chrono::duration<double> limit) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < limit) {
        const long long pressed = takeKeyPress(display);
        if (pressed != 0) {
            return pressed;
        }
        std::this_thread::sleep_for(kWatchInterval);
    }
    return 0;
}

int keypress(Display* display, Window window, char** argv) {
    listenForKeys(display, window);
    const long long pressed =
        awaitKeyPress(display, std::chrono::duration<double>(std::atof(argv[3])));
    if (pressed == 0) {
        return kWatchTimedOut;
    }
    std::printf("%lld\n", pressed);
    return 0;
}

// After the key press, grabs the region every couple of milliseconds until one picture differs
// from the one before it by more than `blocks` blocks. Pictures a few milliseconds apart
// straddle at most one new frame, so slow drift (a gliding snake) never adds up to a change.
// The change time is taken just after the grab that showed it, so the latency errs on the
// long side, by at most one grab.
int watch(Display* display, Window window, char** argv) {
    const int x = std::atoi(argv[3]);
    const int y = std::atoi(argv[4]);
    const int width = std::atoi(argv[5]);
    const int height = std::atoi(argv[6]);
    const long blocks = std::atol(argv[7]);
    const auto limit = std::chrono::duration<double>(std::atof(argv[8]));
    listenForKeys(display, window);
    Image before;
    if (width <= 0 || height <= 0 || !grabRegion(display, window, x, y, width, height, &before)) {
        std::fprintf(stderr, "x11probe: cannot read window 0x%lx\n", window);
        return 1;
    }
    const long long pressed = awaitKeyPress(display, limit);
    if (pressed == 0) {
        return kWatchTimedOut;
    }
    const auto start = std::chrono::steady_clock::now();
    Image now;
    while (std::chrono::steady_clock::now() - start < limit) {
        if (!grabRegion(display, window, x, y, width, height, &now)) {
            std::fprintf(stderr, "x11probe: cannot read window 0x%lx\n", window);
            return 1;
        }
        const long long taken = wallClockNanoseconds();
        const long changed = changedBlocks(before, now, 0, 0, width, height);
        if (changed > blocks) {
            std::printf("%lld %lld %ld\n", pressed, taken, changed);
            return 0;
        }
        std::swap(before, now);
        std::this_thread::sleep_for(kWatchInterval);
    }
    return kWatchTimedOut;
}

int close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(display, window, False, NoEventMask, &event) == 0)
        return 1;
    XSync(display, False);
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: x11probe shot WINDOW OUT | diff A.ppm B.ppm X Y W H |\n"
                 "       red IMAGE.ppm X Y W H | box IMAGE.ppm RRGGBB | close WINDOW |\n"
                 "       keypress WINDOW SECONDS | watch WINDOW X Y W H BLOCKS SECONDS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    if (command == "diff")
        return argc == 8 ? diff(argv) : usage();
    if (command == "red")
        return argc == 7 ? red(argv) : usage();
    if (command == "box")
        return argc == 4 ? box(argv) : usage();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11probe: cannot open the display\n");
        return 1;
    }
    int status = 0;
    if (command == "shot" && argc == 4) {
        status = shot(display, parseWindow(argv[2]), argv[3]);
    } else if (command == "close" && argc == 3) {
        status = close(display, parseWindow(argv[2]));
    } else if (command == "keypress" && argc == 4) {
        status = keypress(display, parseWindow(argv[2]), argv);
    } else if (command == "watch" && argc == 9) {
        status = watch(display, parseWindow(argv[2]), argv);
    } else {
        status = usage();
    }
    XCloseDisplay(display);
    return status;
}
