// Export option parsing: accepted forms, the values they give, and one-line refusals.
#include "app/export/CExportOptions.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    bool ok;
    QString error;
    CExportOptions options;
};

Parsed ParseArgs(QStringList args)
{
    args.prepend(QStringLiteral("corvane"));
    Parsed p;
    p.ok = p.options.Parse(args, &p.error);
    return p;
}

QStringList Base()
{
    return {"--export", "/tmp/x.wav", "--seconds", "2"};
}

} // namespace

TEST(ExportOptions, DefaultsAndEveryOption)
{
    Parsed d = ParseArgs(Base());
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.options.rate, 44100);
    EXPECT_EQ(d.options.channels, 2);
    EXPECT_EQ(d.options.FrameCount(), 88200);
    EXPECT_FALSE(d.options.noise || d.options.hold || d.options.filter || d.options.cutoff || d.options.q ||
                 d.options.input || d.options.volume || d.options.pan || d.options.pitch);
    for (const auto& route : d.options.routes) {
        EXPECT_FALSE(route.has_value());
    }

    Parsed p = ParseArgs({"--export=/tmp/Out.FLAC", "--seconds", "1.5", "--noise", "resonance-pink", "--hold", "8",
                          "--filter", "sv-notch", "--cutoff", "2500", "--q", "0.25", "--input", "noise", "--volume",
                          "-600", "--pan", "-1", "--pitch", "2", "--lfo1", "triangle:0.25", "--lfo3", "random:50",
                          "--route", "cutoff=lfo2:0.5", "--route", "pitch=lfo3:-0.25", "--rate", "48000",
                          "--channels", "1"});
    ASSERT_TRUE(p.ok) << p.error.toStdString();
    const CExportOptions& o = p.options;
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
    Parsed deep = ParseArgs(Base() << "--route" << "volume=lfo1:1.246" << "--lfo2" << "Sawtooth:0.005");
    ASSERT_TRUE(deep.ok) << deep.error.toStdString();
    EXPECT_EQ(deep.options.routes[CExportOptions::RouteVolume]->knobPosition, 359);
    EXPECT_EQ(*deep.options.lfo[1].shape, 3);

    EXPECT_EQ(ParseArgs({"--export", "a.ogg", "--seconds", "1"}).options.format, CExportOptions::FileFormat::Ogg);
    EXPECT_TRUE(ParseArgs({"--export", "a.wav", "--help"}).options.helpRequested);
}

TEST(ExportOptions, EveryRefusalNamesTheOptionAndWhatItAccepts)
{
    struct Case {
        QStringList extra;
        const char* option;  // the option the message must name
        const char* accepts; // a piece of the accepted range
    };
    const Case cases[] = {
        {{"--noise", "brown"}, "--noise", "phased-white|uniform-white|pink|resonance-pink"},
        {{"--hold", "0"}, "--hold", "1..100"},
        {{"--hold", "101"}, "--hold", "1..100"},
        {{"--hold", "2.5"}, "--hold", "1..100"},
        {{"--filter", "moog"}, "--filter", "classic|sv-lowpass"},
        {{"--cutoff", "9.99"}, "--cutoff", "10..10000"},
        {{"--cutoff", "20000"}, "--cutoff", "10..10000"},
        {{"--cutoff", "nan"}, "--cutoff", "10..10000"},
        {{"--cutoff", "1k"}, "--cutoff", "10..10000"},
        {{"--q", "1.01"}, "--q", "0..1"},
        {{"--input", "mic"}, "--input", "filter|noise"},
        {{"--volume", "1"}, "--volume", "-10000..0"},
        {{"--volume", "-10001"}, "--volume", "-10000..0"},
        {{"--pan", "-1.5"}, "--pan", "-1..1"},
        {{"--pitch", "0.2"}, "--pitch", "0.25..4"},
        {{"--pitch", "inf"}, "--pitch", "0.25..4"},
        {{"--lfo1", "sine"}, "--lfo1", "SHAPE:HZ"},
        {{"--lfo2", "square:1"}, "--lfo2", "sine|triangle|pulse|sawtooth|random"},
        {{"--lfo3", "sine:51"}, "--lfo3", "0.005..50"},
        {{"--lfo1", "sine:0.004"}, "--lfo1", "0.005..50"},
        {{"--route", "cutoff"}, "--route", "TARGET=lfoN:DEPTH"},
        {{"--route", "smooth=lfo1:0.5"}, "--route", "hold|cutoff|q|volume|pan|pitch"},
        {{"--route", "pan=lfo4:0.5"}, "--route", "N 1..3"},
        {{"--route", "pan=lfo1:1.25"}, "--route", "-0.25..1.246"},
        {{"--route", "pan=lfo1:0.1", "--route", "pan=lfo2:0.2"}, "--route", "given twice"},
        {{"--rate", "7999"}, "--rate", "8000..192000"},
        {{"--rate", "44100.5"}, "--rate", "8000..192000"},
        {{"--channels", "3"}, "--channels", "1 or 2"},
        {{"--cutoff"}, "--cutoff", ""}, // value missing at the end
        {{"--colour", "red"}, "colour", ""},
        {{"stray"}, "stray", ""},
    };
    for (const Case& c : cases) {
        Parsed p = ParseArgs(Base() + c.extra);
        SCOPED_TRACE(c.extra.join(' ').toStdString());
        EXPECT_FALSE(p.ok);
        EXPECT_TRUE(p.error.contains(QLatin1String(c.option))) << p.error.toStdString();
        EXPECT_TRUE(p.error.contains(QLatin1String(c.accepts))) << p.error.toStdString();
        EXPECT_FALSE(p.error.contains(QLatin1Char('\n'))) << "one line only";
    }

    // File and length.
    const Case fileCases[] = {
        {{"--seconds", "1"}, "--export", ".wav, .flac or .ogg"},
        {{"--export", "song.mp3", "--seconds", "1"}, "--export", ".wav, .flac or .ogg"},
        {{"--export", "song", "--seconds", "1"}, "--export", ".wav, .flac or .ogg"},
        {{"--export", "a.wav"}, "--seconds", "more than 0"},
        {{"--export", "a.wav", "--seconds", "0"}, "--seconds", "at least one sample"},
        {{"--export", "a.wav", "--seconds", "-3"}, "--seconds", "more than 0"},
        {{"--export", "a.wav", "--seconds", "86401"}, "--seconds", "86400"},
        // 10 hours of 44.1 kHz stereo exceed what a WAV header can describe.
        {{"--export", "a.wav", "--seconds", "36000"}, "--seconds", ".flac or .ogg"},
    };
    for (const Case& c : fileCases) {
        Parsed p = ParseArgs(c.extra);
        SCOPED_TRACE(c.extra.join(' ').toStdString());
        EXPECT_FALSE(p.ok);
        EXPECT_TRUE(p.error.contains(QLatin1String(c.option))) << p.error.toStdString();
        EXPECT_TRUE(p.error.contains(QLatin1String(c.accepts))) << p.error.toStdString();
    }
    EXPECT_TRUE(ParseArgs({"--export", "a.flac", "--seconds", "36000"}).ok);
}
