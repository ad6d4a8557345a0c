// Spectrum pane: a sine and band-passed noise read at the right frequency and level, the
// axes and the meter where a reader looks for them, silence once the blocks stop.
#include "controls/CSpectrumView.h"
#include "engine/CSvFilter.h"

#include "PixelCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>
#include <random>
#include <vector>

using namespace corvane::controls;

namespace {
constexpr double kRate = 44100.0;
constexpr int kN = CSpectrumAnalyser::kFftSize;
constexpr unsigned kFrame = 1470; // one 30 fps frame of samples

double Db(double amplitude) { return 20.0 * std::log10(amplitude); }
} // namespace

TEST(SpectrumAnalyser, SinePeaksAtItsBinWithItsLevel)
{
    // On a bin, half-way between two, low in the range; then the output level and the playing
    // rate count: at a gain of 0.1 and twice the rate, a 1 kHz block is heard 20 dB lower at 2 kHz.
    const double halfway = 5000.0 + 0.5 * kRate / kN;
    const struct { double hz; float gain; double rate; double heardHz; } cases[] = {
        {1000.0, 1.0f, kRate, 1000.0}, {halfway, 1.0f, kRate, halfway}, {150.0, 1.0f, kRate, 150.0},
        {1000.0, 0.1f, 2 * kRate, 2000.0}};
    std::vector<float> block(kFrame);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heardHz);
        CSpectrumAnalyser a;
        for (unsigned at = 0; at < 40 * kFrame; at += kFrame) {
            for (unsigned i = 0; i < kFrame; ++i)
                block[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * c.hz * (at + i) / kRate));
            a.AddSamples(block.data(), kFrame, c.gain, c.rate);
            a.Analyse();
        }
        const double level = Db(0.5 * c.gain);
        EXPECT_NEAR(a.PeakBin(), c.heardHz * kN / c.rate, 1.0);
        EXPECT_NEAR(a.BinFrequency(a.PeakBin()), c.heardHz, c.rate / kN);
        EXPECT_NEAR(a.BinLevelDb(a.PeakBin()), level, 1.0);
        EXPECT_NEAR(a.PeakDb(), level, 0.1);
        EXPECT_NEAR(a.RmsDb(), level - Db(std::sqrt(2.0)), 0.2);
        EXPECT_LT(a.BandLevelDb(c.heardHz * 2.5, c.heardHz * 3.5), level - 80.0) << "no leakage far off";
    }
}

TEST(SpectrumAnalyser, BandPassedNoisePeaksAtTheCentreWithItsLevel)
{
    // Peak: the power-weighted middle of the bins within 3 dB of the highest, for what was
    // measured and for the band-pass of the filter's recurrence (it peaks a little above its
    // nominal frequency at high cutoffs):
    //   H(z) = s f (1 - 1/z) / ((1 - 1/z)^2 + (f^2 + q f) / z - q f / z^2).
    const auto middle = [](const std::vector<double>& p) {
        const double top = *std::max_element(p.begin(), p.end());
        double weighted = 0.0, weights = 0.0;
        for (std::size_t k = 0; k < p.size(); ++k)
            if (p[k] >= top / 2) {
                weighted += p[k] * k;
                weights += p[k];
            }
        return weighted / weights;
    };
    constexpr int kFrames = 1000, kSettle = 20;
    for (float centre : {700.0f, 3000.0f}) {
        CSvFilter filter;
        filter.SetType(CSvFilter::BandPass);
        filter.SetFrequency(centre);
        filter.SetQ(0.9f);
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
        std::vector<float> block(kFrame);
        CSpectrumAnalyser a;
        std::vector<double> mean(CSpectrumAnalyser::kBins, 0.0), model(CSpectrumAnalyser::kBins);
        double meanSquare = 0.0;
        for (int frame = 0; frame < kFrames; ++frame) {
            std::generate(block.begin(), block.end(), [&] { return noise(rng); });
            filter.Process(block.data(), kFrame);
            a.AddSamples(block.data(), kFrame, 1.0f, kRate);
            a.Analyse();
            if (frame < kSettle)
                continue;
            for (float x : block)
                meanSquare += x * x / double((kFrames - kSettle) * kFrame);
            for (std::size_t k = 0; k < mean.size(); ++k)
                mean[k] += std::pow(10.0, a.BinLevelDb(int(k)) / 10.0) / (kFrames - kSettle);
        }
        const double f = 2.0 * std::sin(M_PI * centre / kRate), q = 0.1;
        for (std::size_t k = 0; k < model.size(); ++k) {
            const std::complex<double> zi = std::polar(1.0, -2.0 * M_PI * k / kN);
            model[k] = std::norm(f * (1.0 - zi) / ((1.0 - zi) * (1.0 - zi) + (f * f + q * f) * zi - q * f * zi * zi));
        }
        EXPECT_NEAR(middle(mean), middle(model), 1.0) << centre;
        EXPECT_NEAR(middle(mean), centre * kN / kRate, 0.02 * centre * kN / kRate) << centre;
        // Level: a Blackman-Harris window spreads noise over 2.0044 bins, and the sine-scaled
        // bins count a power of A^2 / 2 as A^2, so the bins sum to 2 * 2.0044 * mean square.
        const double total = std::accumulate(mean.begin(), mean.end(), 0.0);
        EXPECT_NEAR(10.0 * std::log10(total / (2.0 * 2.0044)), 10.0 * std::log10(meanSquare), 1.0) << centre;
        EXPECT_NEAR(a.RmsDb(), 10.0 * std::log10(meanSquare), 1.0) << centre;
    }
}

TEST(SpectrumGeometry, LogAxisMarksAndTexts)
{
    std::vector<std::string> labels;
    for (const AxisMark& m : FrequencyMarks(22050.0))
        labels.push_back(m.label.toStdString());
    EXPECT_EQ(labels, (std::vector<std::string>{"20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k"}));
    const QRect plot(30, 10, 301, 200);
    EXPECT_NEAR(XOfFrequency(20.0, plot, 22050.0), 30.0, 1e-9);
    EXPECT_NEAR(XOfFrequency(22050.0, plot, 22050.0), 330.0, 1e-9);
    // Every octave takes the same width; FrequencyOfX undoes XOfFrequency.
    const double octave = XOfFrequency(200.0, plot, 22050.0) - XOfFrequency(100.0, plot, 22050.0);
    EXPECT_NEAR(XOfFrequency(8000.0, plot, 22050.0) - XOfFrequency(4000.0, plot, 22050.0), octave, 1e-9);
    EXPECT_NEAR(FrequencyOfX(XOfFrequency(1234.0, plot, 22050.0), plot, 22050.0), 1234.0, 1e-6);
    EXPECT_EQ(YOfDb(0.0, plot, 0.0, -100.0), 10);
    EXPECT_EQ(YOfDb(-100.0, plot, 0.0, -100.0), 209);
    EXPECT_EQ(YOfDb(-300.0, plot, 0.0, -100.0), 209);
    EXPECT_EQ(FormatDbfs(-6.02), "-6.0");
    EXPECT_EQ(FormatDbfs(CSpectrumAnalyser::kFloorDb), "-inf");
}

TEST(SpectrumView, AxisLabelsCurveMarkerMeterAndSilenceWhenBlocksStop)
{
    CSpectrumView view;
    view.resize(360, 300);
    view.SetCutoff(500.0);
    std::vector<std::int16_t> pcm(882);
    for (int block = 0; block < 60; ++block) {
        for (int i = 0; i < 882; ++i) // 1 kHz at half scale
            pcm[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
                std::lround(16384.0 * std::sin(2.0 * M_PI * 1000.0 * (block * 882 + i) / kRate)));
        view.AddBlock(pcm.data(), 882, 1.0f, kRate);
        if (block % 2)
            view.NextFrame();
    }
    const QImage shot = view.grab().toImage();
    const SpectrumLayout l = view.Layout();
    const auto xOf = [&](double hz) { return XOfFrequency(hz, l.plot, 22050.0); };
    const auto bright = [](const QColor& c) { return qGray(c.rgb()) > 110; };
    const auto textIn = [&](QRect r) { return CountPixels(shot, r, bright); };
    const int labelTop = l.plot.bottom() + 2, labelBottom = view.height() - 1;
    for (double hz : {100.0, 1000.0, 10000.0})
        EXPECT_GT(textIn(QRect(QPoint(int(xOf(hz)) - 8, labelTop), QPoint(int(xOf(hz)) + 8, labelBottom))), 5) << hz;
    const int gap = int((xOf(2000.0) + xOf(5000.0)) / 2);
    EXPECT_EQ(textIn(QRect(QPoint(gap - 2, labelTop), QPoint(gap + 2, labelBottom))), 0);
    // The "0" level label sits left of the plot's top edge.
    EXPECT_GT(textIn(QRect(QPoint(0, l.plot.top() - 6), QPoint(l.plot.left() - 2, l.plot.top() + 6))), 3);

    // The curve is highest over 1 kHz; the cutoff marker stands at 500 Hz.
    const QColor curve(255, 204, 51);
    int bestX = -1, bestY = 1 << 20;
    for (int x = l.plot.left(); x <= l.plot.right(); ++x)
        for (int y = l.plot.top(); y <= l.plot.bottom(); ++y)
            if (shot.pixelColor(x, y) == curve && y < bestY) {
                bestY = y;
                bestX = x;
            }
    EXPECT_NEAR(bestX, xOf(1000.0), 3);
    EXPECT_EQ(shot.pixelColor(int(std::lround(xOf(500.0))), l.plot.bottom() - 2), QColor(102, 204, 255));

    // Peak bar lit from -60 dBFS up to -6 dBFS: nine tenths of the meter; RMS to -9 dBFS.
    const auto litRows = [&](int x, const QColor& c) { return CountPixels(shot, QRect(x, l.meter.top(), 1, l.meter.height()), c); };
    EXPECT_NEAR(litRows(l.meter.left() + 1, curve), l.meter.height() * 54.0 / 60.0, 2.0);
    EXPECT_NEAR(litRows(l.meter.right() - 1, QColor(120, 210, 130)), l.meter.height() * 51.0 / 60.0, 2.0);

    // Five seconds without a block: what is heard is silence.
    for (int frame = 0; frame < 150; ++frame)
        view.NextFrame();
    EXPECT_LT(view.Analyser().PeakDb(), -60.0f);
    EXPECT_LT(view.Analyser().RmsDb(), -60.0f);
}

TEST(SpectrumView, FrameKeptUpAsItGoesEqualsOnePaintedWhole)
{
    // Each paint rewrites only what moved: after loud noise, a quiet spell, gaps and a moving
    // marker, the picture is the one painted from scratch (the numbers aside, new only now
    // and then).
    CSpectrumView asItGoes, whole;
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> noise(-12000, 12000);
    std::vector<std::int16_t> pcm(882);
    for (int frame = 0; frame < 120; ++frame) {
        for (auto& s : pcm)
            s = static_cast<std::int16_t>(noise(rng) / (frame < 60 ? 1 : 40));
        for (CSpectrumView* view : {&asItGoes, &whole}) {
            view->resize(360, 300);
            view->SetCutoff(100.0 + 40.0 * frame);
            if (frame % 7)
                view->AddBlock(pcm.data(), 882, 1.0f, kRate);
            view->NextFrame();
        }
        asItGoes.PaintFrame();
    }
    const QRect below(0, asItGoes.Layout().header.bottom() + 1, 360, 300);
    EXPECT_EQ(asItGoes.PaintFrame().copy(below), whole.PaintFrame().copy(below));
}
