// Every ready-made sound rendered for a minute as the program plays it: never silent, clipped
// or broken, and with the character its name promises.
#include "app/CSoundLibrary.h"
#include "app/export/CExportPanelSetup.h"
#include "app/export/CHeadlessPanel.h"
#include "app/export/CSoundFile.h"
#include "panel/CCorvaneFormView.h"
#include "platform/dsound.h"

#include "SignalAnalysis.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using engine_test::BandRatioDb;

constexpr int kBlock = 882;

// One minute of a sound: the 16-bit blocks the panel rendered and the stereo mix it played.
struct Rendered {
    std::vector<float> blocks; // the panel's blocks, scaled to -1..1
    std::vector<float> left, right, mono;
    int clipped = 0; // block samples at the conversion's limit

    // Level in dB of the mono mix over frames of `seconds`, one value per frame.
    std::vector<double> Envelope(double seconds, const std::vector<float>* channel = nullptr) const
    {
        const std::vector<float>& s = channel ? *channel : mono;
        const auto n = static_cast<std::size_t>(seconds * 44100);
        std::vector<double> out;
        for (std::size_t i = 0; i + n <= s.size(); i += n)
            out.push_back(20.0 * std::log10(engine_test::Rms({s.begin() + static_cast<long>(i), s.begin() + static_cast<long>(i + n)}) + 1e-9));
        return out;
    }
    std::vector<float> FirstSeconds(const std::vector<float>& s, int seconds) const
    {
        return {s.begin(), s.begin() + std::min<long>(seconds * 44100L, static_cast<long>(s.size()))};
    }
};

Rendered Render(const QString& path, int seconds)
{
    Rendered r;
    CExportOptions sound;
    QStringList warnings;
    QString error;
    EXPECT_TRUE(CSoundFile::Load(path, &sound, &warnings, &error)) << error.toStdString();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(' ').toStdString();
    CHeadlessPanel headless;
    if (!headless.Create(44100, 2, &error)) {
        ADD_FAILURE() << error.toStdString();
        return r;
    }
    CCorvaneFormView& panel = headless.Panel();
    EXPECT_TRUE(CExportPanelSetup(panel).Apply(sound).isEmpty()); // every value exactly as written
    std::vector<std::int16_t> frames(2 * kBlock);
    std::int64_t time = 0;
    for (int b = 0; b < seconds * 50; ++b) {
        time += 200000;
        panel.OnEngineTick(&time);
        for (int i = 0; i < kBlock; ++i) {
            r.clipped += std::abs(panel.GetPcmBlock()[i]) >= 32000;
            r.blocks.push_back(panel.GetPcmBlock()[i] / 32000.0f);
        }
        corvane::platform::PullMixedFrames(headless.Device(), frames.data(), kBlock);
        for (int i = 0; i < kBlock; ++i) {
            const float l = frames[2 * i] / 32768.0f, rr = frames[2 * i + 1] / 32768.0f;
            r.left.push_back(l);
            r.right.push_back(rr);
            r.mono.push_back(0.5f * (l + rr));
        }
    }
    return r;
}

double Range(const std::vector<double>& v)
{
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return *hi - *lo;
}

// The lag (in frames of the envelope) within [minLag, maxLag] where the envelope best matches
// itself: the period of a regular swell.
std::size_t EnvelopePeriod(const std::vector<double>& env, std::size_t minLag, std::size_t maxLag)
{
    double mean = 0.0;
    for (double v : env)
        mean += v / static_cast<double>(env.size());
    std::size_t best = minLag;
    double bestScore = -1e300;
    for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
        double score = 0.0;
        for (std::size_t i = 0; i + lag < env.size(); ++i)
            score += (env[i] - mean) * (env[i + lag] - mean);
        score /= static_cast<double>(env.size() - lag);
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

struct Character {
    const char* name;
    std::function<void(const Rendered&)> check;
};

const Character kCharacters[] = {
    {"Ocean Surf", [](const Rendered& r) {
         const auto env = r.Envelope(0.1);
         EXPECT_GT(Range(env), 20.0); // each wave rises from near silence
         EXPECT_NEAR(static_cast<double>(EnvelopePeriod(env, 40, 120)) * 0.1, 8.0, 0.5); // LFO 0.125 Hz
     }},
    {"Wind", [](const Rendered& r) {
         // The band's centre wanders: its upper half against its lower, second by second.
         double lo = 1e9, hi = -1e9;
         for (int s = 0; s + 1 < 60; s += 2) {
             const std::vector<float> part(r.blocks.begin() + s * 44100L, r.blocks.begin() + (s + 1) * 44100L);
             const double tilt = BandRatioDb(part, 500, 900, 60, 200);
             lo = std::min(lo, tilt);
             hi = std::max(hi, tilt);
         }
         EXPECT_GT(hi - lo, 20.0);
         EXPECT_GT(Range(r.Envelope(1.0)), 10.0); // gusts
     }},
    {"Deep Brown Noise", [](const Rendered& r) {
         EXPECT_NEAR(BandRatioDb(r.FirstSeconds(r.mono, 20), 400, 800, 100, 200) / 2.0, -6.0, 1.5); // per octave
         EXPECT_LT(Range(r.Envelope(1.0)), 3.0);
     }},
    {"Rain on a Roof", [](const Rendered& r) {
         EXPECT_NEAR(BandRatioDb(r.FirstSeconds(r.mono, 20), 2000, 4000, 200, 400), 0.0, 3.0); // bright hiss
         const auto env = r.Envelope(0.02);
         double moves = 0.0;
         for (std::size_t i = 1; i < env.size(); ++i)
             moves += std::fabs(env[i] - env[i - 1]) / static_cast<double>(env.size() - 1);
         EXPECT_GT(moves, 1.0); // the level patters from block to block
     }},
    {"Waterfall", [](const Rendered& r) {
         EXPECT_LT(Range(r.Envelope(1.0)), 2.0);
         EXPECT_NEAR(BandRatioDb(r.FirstSeconds(r.mono, 20), 1000, 2000, 100, 200), 0.0, 6.0); // broad rush
     }},
    {"Desk Fan", [](const Rendered& r) {
         EXPECT_LT(Range(r.Envelope(1.0)), 2.0);
         const auto part = r.FirstSeconds(r.mono, 20);
         EXPECT_GT(BandRatioDb(part, 1100, 1300, 400, 700), 6.0); // the blades' hum
     }},
    {"Night Train", [](const Rendered& r) {
         EXPECT_GT(BandRatioDb(r.FirstSeconds(r.mono, 20), 100, 300, 2000, 4000), 25.0); // rumble
         const auto env = r.Envelope(0.02);
         const double period = static_cast<double>(EnvelopePeriod(env, 20, 45)) * 0.02;
         EXPECT_NEAR(period, 1.0 / 1.62, 0.06); // the rails knock with the pulse LFO
     }},
    {"Distant Storm", [](const Rendered& r) {
         EXPECT_GT(BandRatioDb(r.FirstSeconds(r.mono, 20), 50, 150, 1000, 2000), 25.0);
         EXPECT_GT(Range(r.Envelope(1.0)), 15.0); // swells and fades
     }},
    {"Space Drone", [](const Rendered& r) {
         EXPECT_GT(BandRatioDb(r.FirstSeconds(r.blocks, 20), 180, 260, 1000, 2000), 15.0); // a narrow ring
         const auto left = r.Envelope(1.0, &r.left), right = r.Envelope(1.0, &r.right);
         double most = -1e9, least = 1e9;
         for (std::size_t i = 0; i < left.size(); ++i) {
             most = std::max(most, left[i] - right[i]);
             least = std::min(least, left[i] - right[i]);
         }
         EXPECT_GT(most, 3.0); // it drifts to the left...
         EXPECT_LT(least, -3.0); // ...and to the right
     }},
    {"Soft Pink for Sleep", [](const Rendered& r) {
         EXPECT_LT(20.0 * std::log10(engine_test::Rms(r.mono)), -15.0); // quiet
         EXPECT_LT(Range(r.Envelope(1.0)), 2.0);
         EXPECT_GT(BandRatioDb(r.FirstSeconds(r.mono, 20), 100, 200, 2000, 4000), 15.0); // dark
     }},
    {"Crackling Fire", [](const Rendered& r) {
         EXPECT_GT(BandRatioDb(r.FirstSeconds(r.mono, 20), 2000, 4000, 100, 200), 10.0); // bright
         EXPECT_GT(Range(r.Envelope(0.02)), 20.0); // bursts
     }},
};

class ReadySound : public testing::TestWithParam<Character> {};

TEST_P(ReadySound, IsHeardForAMinuteWithItsCharacter)
{
    const QString path = CSoundLibrary().PathOf(GetParam().name);
    ASSERT_FALSE(path.isEmpty()) << GetParam().name;
    const Rendered r = Render(path, 60);
    ASSERT_EQ(r.mono.size(), 60u * 44100u);
    EXPECT_LT(r.clipped, static_cast<int>(r.blocks.size() / 1000)) << "clipped";
    for (const double level : r.Envelope(10.0))
        EXPECT_GT(level, -50.0) << "silent for ten seconds";
    GetParam().check(r);
}

INSTANTIATE_TEST_SUITE_P(Library, ReadySound, testing::ValuesIn(kCharacters),
                         [](const testing::TestParamInfo<Character>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

TEST(ReadySounds, EveryFileInTheLibraryHasACharacterTest)
{
    QStringList tested;
    for (const Character& c : kCharacters)
        tested << c.name;
    tested.sort(Qt::CaseInsensitive);
    EXPECT_EQ(CSoundLibrary().Names(), tested);
    EXPECT_GE(tested.size(), 10);
}

} // namespace
