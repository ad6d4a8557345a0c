// Export option parsing: the defaults and the values every accepted form gives. Refusals are
// checked end to end with the command.
#include "app/export/CExportOptions.h"

#include <gtest/gtest.h>

namespace {

CExportOptions Parsed(QStringList args)
{
    CExportOptions o;
    QString error;
    EXPECT_TRUE(o.Parse(QStringList{"corvane"} + args, &error)) << error.toStdString();
    return o;
}

} // namespace

TEST(ExportOptions, DefaultsAndEveryOption)
{
    const CExportOptions d = Parsed({"--export", "/tmp/x.wav", "--seconds", "2"});
    EXPECT_EQ(d.format, CExportOptions::FileFormat::Wav);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.FrameCount(), 88200);
    EXPECT_FALSE(d.noise || d.hold || d.filter || d.cutoff || d.q || d.input || d.volume || d.pan || d.pitch);
    for (const auto& route : d.routes)
        EXPECT_FALSE(route.has_value());

    const CExportOptions o =
        Parsed({"--export=/tmp/Out.FLAC", "--seconds", "1.5", "--noise", "resonance-pink", "--hold", "8", "--filter",
                "sv-notch", "--cutoff", "2500", "--q", "0.25", "--input", "noise", "--volume", "-600", "--pan", "-1",
                "--pitch", "2", "--lfo1", "triangle:0.25", "--lfo3", "random:50", "--route", "cutoff=lfo2:0.5",
                "--route", "pitch=lfo3:-0.25", "--rate", "48000", "--channels", "1"});
    EXPECT_EQ(o.format, CExportOptions::FileFormat::Flac);
    EXPECT_EQ(o.FrameCount(), 72000);
    EXPECT_EQ(*o.noise, 3);
    EXPECT_EQ(*o.hold, 8);
    EXPECT_EQ(*o.filter, 4);
    EXPECT_DOUBLE_EQ(*o.cutoff, 2500.0);
    EXPECT_DOUBLE_EQ(*o.q, 0.25);
    EXPECT_EQ(*o.input, 1);
    EXPECT_EQ(*o.volume, -600);
    EXPECT_DOUBLE_EQ(*o.pan, -1.0); // a negative value after its option is a value, not an option
    EXPECT_DOUBLE_EQ(*o.pitch, 2.0);
    EXPECT_EQ(*o.lfo[0].shape, 1);
    EXPECT_DOUBLE_EQ(*o.lfo[0].frequency, 0.25);
    EXPECT_FALSE(o.lfo[1].shape.has_value());
    EXPECT_EQ(*o.lfo[2].shape, 4);
    ASSERT_TRUE(o.routes[CExportOptions::RouteCutoff].has_value());
    EXPECT_EQ(o.routes[CExportOptions::RouteCutoff]->source, 2);
    EXPECT_EQ(o.routes[CExportOptions::RouteCutoff]->knobPosition, 180);
    EXPECT_EQ(o.routes[CExportOptions::RoutePitch]->knobPosition, 0);
    EXPECT_EQ(o.rate, 48000);
    EXPECT_EQ(o.channels, 1);

    // The deepest depth the knob has (position 359) is reachable as the documented 1.246.
    const CExportOptions deep = Parsed({"--export", "a.ogg", "--seconds", "1", "--route", "volume=lfo1:1.246",
                                        "--lfo2", "Sawtooth:0.005", "--noise", "Brown", "--smooth", "0.35",
                                        "--route", "smooth=lfo3:0.5"});
    EXPECT_EQ(*deep.noise, 4);
    EXPECT_DOUBLE_EQ(*deep.smooth, 0.35);
    EXPECT_EQ(deep.routes[CExportOptions::RouteSmooth]->source, 3);
    EXPECT_EQ(deep.format, CExportOptions::FileFormat::Ogg);
    EXPECT_EQ(deep.routes[CExportOptions::RouteVolume]->knobPosition, 359);
    EXPECT_EQ(*deep.lfo[1].shape, 3);
    EXPECT_TRUE(Parsed({"--export", "a.wav", "--help"}).helpRequested);
    EXPECT_TRUE(Parsed({"--export", "--help"}).helpRequested);
    // Ten hours are too long for a WAV header but not for FLAC.
    EXPECT_EQ(Parsed({"--export", "a.flac", "--seconds", "36000"}).FrameCount(), 36000LL * 44100);
}
