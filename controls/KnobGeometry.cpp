// Rotary knob maths: kept free of widgets so that tests can check the numbers directly.
#include "controls/KnobGeometry.h"

#include <algorithm>
#include <cmath>

namespace corvane::controls {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPiRing = 1.570796327;
constexpr double kPiRing = 3.141592654;

int ChannelMix(int c1, int c2, double w)
{
    return static_cast<int>(c1 * w + c2 * (1.0 - w));
}
} // namespace

int KnobAngle(int pos, int min, int max, int zeroAngle, bool inverted)
{
    const long long span = static_cast<long long>(max) - min + 1;
    const long long raw = (static_cast<long long>(pos) - min) * 360 / span + zeroAngle;
    // A true modulo, so that any zero angle (even below -360) gives 0..359.
    int a = static_cast<int>(((raw % 360) + 360) % 360);
    if (inverted)
        a = 360 - a;
    return a;
}

int KnobPositionFromOffset(int dx, int dy, int min, int max, int zeroAngle, bool inverted)
{
    if (inverted)
        dx = -dx;
    double a;
    if (dx == 0) {
        a = dy < 0 ? 0.0 : 180.0;
    } else {
        a = 90.0 - std::atan(static_cast<double>(-dy) / dx) * 180.0 / kPi;
        if (dx < 0)
            a += 180.0;
    }
    a -= zeroAngle;
    while (a < 0.0)
        a += 360.0;
    while (a >= 360.0)
        a -= 360.0;
    const double span = static_cast<double>(max) - min + 1.0;
    return min - static_cast<int>(a * span * -0.002777777777777778);
}

int KnobClampPointerPosition(int pos)
{
    return std::clamp(pos, kKnobPointerMin, kKnobPointerMax);
}

int KnobStep(int pos, int delta, int min, int max)
{
    const long long span = static_cast<long long>(max) - min + 1;
    long long p = static_cast<long long>(pos) + delta;
    if (span <= 0)
        return pos;
    // Same result as adding or subtracting the span until in range, without the loop.
    if (p < min)
        p += ((min - p + span - 1) / span) * span;
    else if (p > max)
        p -= ((p - max + span - 1) / span) * span;
    return static_cast<int>(p);
}

COLORREF ShadeColor(double phi, COLORREF c1, COLORREF c2)
{
    double v = -2.356 - phi;
    if (v < -3.1415)
        v = v + 6.293;
    else if (v > 3.1415)
        v = 6.293 - v;
    const double w = (std::cos(v) + 1.0) * 0.5;
    return RGB(ChannelMix(GetRValue(c1), GetRValue(c2), w), ChannelMix(GetGValue(c1), GetGValue(c2), w),
               ChannelMix(GetBValue(c1), GetBValue(c2), w));
}

std::vector<KnobPixel> ShadedRingPixels(int cx, int cy, int radius, COLORREF light, COLORREF dark)
{
    std::vector<KnobPixel> pixels;
    if (radius < 0)
        return pixels;
    int x = radius;
    int y = 0;
    int e = -radius;
    do {
        const double phi = std::atan2(static_cast<double>(y), static_cast<double>(x));
        // The eight octants, each with the angle of its own offset from the centre.
        const struct {
            int dx, dy;
            double angle;
        } octants[8] = {
            {x, y, phi},
            {y, x, kHalfPiRing - phi},
            {-y, x, phi + kHalfPiRing},
            {-x, y, kPiRing - phi},
            {-x, -y, phi - kPiRing},
            {-y, -x, -phi - kHalfPiRing},
            {y, -x, phi - kHalfPiRing},
            {x, -y, -phi},
        };
        for (const auto& o : octants)
            pixels.push_back({cx + o.dx, cy + o.dy, ShadeColor(o.angle, light, dark)});
        e = e + 2 * y + 1;
        y = y + 1;
        if (e >= 0) {
            x = x - 1;
            e = e - 2 * x;
        }
    } while (y <= x);
    return pixels;
}

std::vector<KnobShadeStop> ShadedRingStops(COLORREF light, COLORREF dark, int count)
{
    std::vector<KnobShadeStop> stops;
    count = std::max(1, count);
    for (int i = 0; i <= count; ++i) {
        const double t = static_cast<double>(i) / count;
        // Counter-clockwise on screen is a negative screen angle; keep it within -pi..pi.
        double phi = -2.0 * kPi * t;
        if (phi < -kPi)
            phi += 2.0 * kPi;
        stops.push_back({t, ShadeColor(phi, light, dark)});
    }
    return stops;
}

KnobPoint KnobMarkerCentre(int cx, int cy, int radius, int angleDegrees)
{
    const double theta = angleDegrees * kPi * 0.005555555555555556;
    const int d = radius - 4;
    return {static_cast<int>(d * std::sin(theta) + cx), static_cast<int>(cy - d * std::cos(theta))};
}

std::vector<KnobPixel> KnobMarkerPixels(KnobPoint c)
{
    constexpr COLORREF kWhite = 0xFFFFFF;
    constexpr COLORREF kLight = 0x66CCFF;
    constexpr COLORREF kRim = 0x0080FF;
    const int x = c.x;
    const int y = c.y;
    return {
        {x, y, kWhite},          {x, y - 1, kWhite},      {x, y + 1, kWhite},      {x - 1, y, kWhite},
        {x + 1, y, kWhite},      {x - 1, y - 1, kLight},  {x + 1, y - 1, kLight},  {x - 1, y + 1, kLight},
        {x + 1, y + 1, kLight},  {x - 1, y - 2, kRim},    {x, y - 2, kRim},        {x + 1, y - 2, kRim},
        {x + 2, y - 1, kRim},    {x + 2, y, kRim},        {x + 2, y + 1, kRim},    {x - 1, y + 2, kRim},
        {x, y + 2, kRim},        {x + 1, y + 2, kRim},    {x - 2, y - 1, kRim},    {x - 2, y, kRim},
        {x - 2, y + 1, kRim},
    };
}

} // namespace corvane::controls
