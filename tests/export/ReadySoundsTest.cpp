// Every ready-made sound rendered for a minute as the program plays it: never silent, clipped
// or broken, and with the character its name promises.
#include "app/CSoundLibrary.h"
#include "app/export/CExportPanelSetup.h"
#include "app/export/CSoundFile.h"

#include "PanelPlayback.h"
#include "SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using Samples = std::vector<float>;
using Levels = std::vector<double>;
constexpr double kAny = INFINITY;

// A minute of a sound: the panel's 16-bit blocks (scaled to -1..1) and the stereo mix it played.
struct Rendered {
    Samples blocks, left, right, mono;
    int clipped = 0;
};

double Dbfs(const Samples& s) { return 20.0 * std::log10(engine_test::Rms(s) + 1e-9); }
double Range(const Levels& v) { return *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end()); }

// Level in dB over consecutive frames of `seconds`.
Levels Envelope(const Samples& s, double seconds)
{
    const auto n = static_cast<long>(seconds * 44100);
    Levels out;
    for (long i = 0; i + n <= static_cast<long>(s.size()); i += n)
        out.push_back(Dbfs({s.begin() + i, s.begin() + i + n}));
    return out;
}

// Band against band in dB over `seconds` of `s` from second `from`.
double Tilt(const Samples& s, const double (&b)[4], long from = 0, long seconds = 20)
{
    return engine_test::BandRatioDb({s.begin() + from * 44100, s.begin() + (from + seconds) * 44100}, b[0], b[1], b[2], b[3]);
}

// The lag, in frames, between half and one and a half times `expected` at which the envelope best matches itself.
double Period(const Levels& env, double expected)
{
    const double mean = std::accumulate(env.begin(), env.end(), 0.0) / static_cast<double>(env.size());
    std::size_t best = 0;
    double bestScore = -kAny;
    for (auto lag = static_cast<std::size_t>(expected / 2); lag <= static_cast<std::size_t>(expected * 1.5); ++lag) {
        double score = 0.0;
        for (std::size_t i = 0; i + lag < env.size(); ++i)
            score += (env[i] - mean) * (env[i + lag] - mean) / static_cast<double>(env.size() - lag);
        if (score > bestScore)
            bestScore = score, best = lag;
    }
    return static_cast<double>(best);
}

Rendered Render(const QString& path)
{
    Rendered r;
    CExportOptions sound;
    QStringList warnings;
    QString error;
    EXPECT_TRUE(CSoundFile::Load(path, &sound, &warnings, &error)) << error.toStdString();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(' ').toStdString();
    PanelPlayback play(2);
    if (play.created) {
        EXPECT_TRUE(CExportPanelSetup(play.Panel()).Apply(sound).isEmpty()); // every value exactly as written
    }
    play.Play(60 * 50);
    for (std::size_t i = 0; i < play.blocks.size(); ++i) {
        r.clipped += std::abs(play.blocks[i]) >= 32000;
        r.blocks.push_back(play.blocks[i] / 32000.0f);
        r.left.push_back(play.mixed[2 * i] / 32768.0f);
        r.right.push_back(play.mixed[2 * i + 1] / 32768.0f);
        r.mono.push_back(0.5f * (r.left.back() + r.right.back()));
    }
    return r;
}

struct Character {
    const char* name;
    double bands[4], tiltMin, tiltMax;    // first 20 s of the mix: band over band, dB
    double frame, swingMin, swingMax;     // the level's range over frames of `frame` seconds
    double period = 0;                    // seconds between swells of that level, 0 for none
    std::function<void(const Rendered&)> more = nullptr;
};

const Character kCharacters[] = {
    {"Ocean Surf", {}, -kAny, kAny, 0.1, 20, kAny, 8.0}, // waves from near silence, with the LFO's 8 s
    {"Wind", {}, -kAny, kAny, 1.0, 10, kAny, 0, [](const Rendered& r) { // gusts; the band's centre wanders
         Levels tilts;
         for (long s = 0; s < 59; s += 2)
             tilts.push_back(Tilt(r.blocks, {500, 900, 60, 200}, s, 1));
         EXPECT_GT(Range(tilts), 20.0);
     }},
    {"Deep Brown Noise", {400, 800, 100, 200}, -15, -9, 1.0, 0, 3}, // -6 dB per octave, steady
    {"Rain on a Roof", {2000, 4000, 200, 400}, -3, 3, 0.02, 0, kAny, 0, [](const Rendered& r) { // patters
         const Levels env = Envelope(r.mono, 0.02);
         double moves = 0.0;
         for (std::size_t i = 1; i < env.size(); ++i)
             moves += std::fabs(env[i] - env[i - 1]) / static_cast<double>(env.size() - 1);
         EXPECT_GT(moves, 1.0);
     }},
    {"Waterfall", {1000, 2000, 100, 200}, -6, 6, 1.0, 0, 2},             // a broad, steady rush
    {"Desk Fan", {1100, 1300, 400, 700}, 6, kAny, 1.0, 0, 2},             // the blades' steady hum
    {"Night Train", {100, 300, 2000, 4000}, 25, kAny, 0.02, 0, kAny, 1.0 / 1.62}, // rumble; rails knock
    {"Distant Storm", {50, 150, 1000, 2000}, 25, kAny, 1.0, 15, kAny},    // low, swells and fades
    {"Space Drone", {}, -kAny, kAny, 1.0, 0, kAny, 0, [](const Rendered& r) { // a ring drifting left and right
         EXPECT_GT(Tilt(r.blocks, {180, 260, 1000, 2000}), 15.0);
         Levels balance = Envelope(r.left, 1.0), right = Envelope(r.right, 1.0);
         std::transform(balance.begin(), balance.end(), right.begin(), balance.begin(), std::minus<>());
         EXPECT_GT(*std::max_element(balance.begin(), balance.end()), 3.0);
         EXPECT_LT(*std::min_element(balance.begin(), balance.end()), -3.0);
     }},
    {"Soft Pink for Sleep", {100, 200, 2000, 4000}, 15, kAny, 1.0, 0, 2, 0, [](const Rendered& r) {
         EXPECT_LT(Dbfs(r.mono), -15.0); // quiet, steady and dark
     }},
    {"Crackling Fire", {2000, 4000, 100, 200}, 10, kAny, 0.02, 20, kAny}, // bright bursts
};

TEST(ReadySounds, EachIsHeardForAMinuteWithItsCharacter)
{
    EXPECT_EQ(static_cast<std::size_t>(CSoundLibrary().Names().size()), std::size(kCharacters)); // no file in the library goes unchecked
    for (const Character& c : kCharacters) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(CSoundLibrary().PathOf(c.name).isEmpty());
        const Rendered r = Render(CSoundLibrary().PathOf(c.name));
        ASSERT_EQ(r.mono.size(), 60u * 44100u);
        EXPECT_LT(r.clipped, static_cast<int>(r.blocks.size() / 1000)) << "clipped";
        for (const double level : Envelope(r.mono, 10.0))
            EXPECT_GT(level, -50.0) << "silent for ten seconds";
        const double tilt = c.bands[1] > 0 ? Tilt(r.mono, c.bands) : 0.0;
        EXPECT_TRUE(tilt >= c.tiltMin && tilt <= c.tiltMax) << "band ratio " << tilt << " dB";
        const Levels env = Envelope(r.mono, c.frame);
        EXPECT_TRUE(Range(env) >= c.swingMin && Range(env) <= c.swingMax) << "level range " << Range(env) << " dB";
        if (c.period > 0) {
            EXPECT_NEAR(Period(env, c.period / c.frame) * c.frame, c.period, 0.1 * c.period);
        }
        if (c.more)
            c.more(r);
    }
}

} // namespace
