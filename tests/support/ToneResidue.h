// Everything in a signal that is not one tone, for converter tests.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

// Everything that is not a tone at `hz`, in dB below the tone: least squares takes out the
// tone (any level and phase), what is left are the aliases, images and noise.
template <class T>
double ResidueDb(const std::vector<T>& y, double hz, double rate)
{
    constexpr double kPi = std::numbers::pi;
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (std::size_t n = 0; n < y.size(); ++n) {
        const double s = std::sin(2 * kPi * hz * n / rate), c = std::cos(2 * kPi * hz * n / rate);
        ss += s * s, cc += c * c, sc += s * c, ys += y[n] * s, yc += y[n] * c;
    }
    const double det = ss * cc - sc * sc, a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
    double rest = 0, tone = 0;
    for (std::size_t n = 0; n < y.size(); ++n) {
        const double t = a * std::sin(2 * kPi * hz * n / rate) + b * std::cos(2 * kPi * hz * n / rate);
        rest += (y[n] - t) * (y[n] - t);
        tone += t * t;
    }
    return 10 * std::log10(rest / tone);
}
