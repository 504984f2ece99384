// bands.h -- the inclusive range test behind every reach, zone and keep-away rule.
#pragma once

namespace game {

// centre - below <= value <= centre + above, both bounds included. The bounds are formed in
// double precision, so a float position plus or minus a whole reach is exact.
inline bool withinBand(float value, float centre, double below, double above) {
    return static_cast<double>(centre) - below <= value &&
           value <= static_cast<double>(centre) + above;
}

inline bool withinBand(float value, float centre, double reach) {
    return withinBand(value, centre, reach, reach);
}

}  // namespace game
