// Pure geometry and colour maths of the rotary knob: angles, pointer mapping, ring and marker pixels.
#pragma once

#include "platform/wintypes.h"

#include <vector>

namespace corvane::controls {

// The pointer can set only positions in this band (absolute position values); the rest of
// the dial is a dead sector.
constexpr int kKnobPointerMin = 60;
constexpr int kKnobPointerMax = 300;

struct KnobPixel {
    int x;
    int y;
    COLORREF colour;
};

// Degrees clockwise from 12 o'clock (0..360) at which a position is drawn. Range min..max
// (max >= min), zeroAngle in degrees added to the position's angle.
int KnobAngle(int pos, int min, int max, int zeroAngle, bool inverted);

// Position under a pointer offset (dx, dy) from the dial centre, screen coordinates, before
// the dead-sector clamp. The result lies in min..max.
int KnobPositionFromOffset(int dx, int dy, int min, int max, int zeroAngle, bool inverted);

// Clamp a pointer position into kKnobPointerMin..kKnobPointerMax.
int KnobClampPointerPosition(int pos);

// pos + delta wrapped around the whole range min..max (keyboard stepping).
int KnobStep(int pos, int delta, int min, int max);

// Colour of a ring pixel at angle phi (radians, atan2 of its screen offset): c1 lights the
// top-left edge, c2 the bottom-right.
COLORREF ShadeColor(double phi, COLORREF c1, COLORREF c2);

// Pixels of a one-pixel circle traced with the integer midpoint method, each shaded by its
// own angle, in drawing order (later pixels overwrite earlier ones at the same place).
std::vector<KnobPixel> ShadedRingPixels(int cx, int cy, int radius, COLORREF light, COLORREF dark);

// The same shading as stops of a conical gradient, for drawing the ring as a smooth circle
// at a scale above one device pixel per pixel: `count` + 1 stops at t = i / count, where t
// runs counter-clockwise from 3 o'clock as in QConicalGradient.
struct KnobShadeStop {
    double t;
    COLORREF colour;
};
std::vector<KnobShadeStop> ShadedRingStops(COLORREF light, COLORREF dark, int count);

// Centre of the position marker for a dial of outer-ring radius `radius` at angle degrees.
struct KnobPoint {
    int x;
    int y;
};
KnobPoint KnobMarkerCentre(int cx, int cy, int radius, int angleDegrees);

// The 5 x 5 round marker (no corners) around its centre: white middle cross, light-orange
// diagonals, orange rim.
std::vector<KnobPixel> KnobMarkerPixels(KnobPoint centre);

} // namespace corvane::controls
