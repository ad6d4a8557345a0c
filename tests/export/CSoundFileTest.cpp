// Sound files: what the reader accepts, what it refuses (naming file, line and key, and
// changing nothing), and that the export's options and the file's keys are one vocabulary.
#include "app/export/CSoundFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What every written sound starts with.
const QByteArray kHeader = "# Corvane sound. A key left out keeps its start-up setting.\n[Sound]\nformat=1\n";

CExportOptions Read(const QByteArray& text, QStringList* pWarnings = nullptr)
{
    CExportOptions o;
    QString error;
    EXPECT_TRUE(CSoundFile::Parse(text, "a.corvane", &o, pWarnings, &error)) << error.toStdString();
    return o;
}

} // namespace

TEST(SoundFile, AcceptsWhatAPersonWritesByHand)
{
    // Nothing at all, or only comments: the start-up sound.
    for (const QByteArray& empty : {QByteArray(), QByteArray("\n# nothing yet\n; still nothing\n")})
        EXPECT_EQ(CSoundFile::Text(Read(empty)), kHeader);
    QStringList warnings;
    const CExportOptions o = Read("\xEF\xBB\xBF# rain\r\n"
                                  "[Sound]\r\n"
                                  "  format = 1\r\n"
                                  "Noise = Pink\r\n"
                                  "cutoff=2500.5   # bright\n"
                                  "\tq\t=\t0.25\n"
                                  "mute=true\n"
                                  "mode=oneshot\n"
                                  "lfo2=random:0.125\n"
                                  "route.pan=lfo3:-0.25\n"
                                  "route.q=none:0.5\n"
                                  "sparkle=3\n"
                                  "[Window]\n"
                                  "x=12\n",
                                  &warnings);
    // Written back, only the keys given come out.
    EXPECT_EQ(CSoundFile::Text(o), kHeader + "noise=pink\ncutoff=2500.5\nq=0.25\nmute=true\nmode=oneshot\n"
                                             "lfo2=random:0.125\nroute.q=none:0.5\nroute.pan=lfo3:-0.25\n");
    EXPECT_EQ(*o.noise, 2);
    EXPECT_EQ(o.routes[CExportOptions::RoutePan]->knobPosition, 0);
    EXPECT_EQ(o.routes[CExportOptions::RouteQ]->knobPosition, 180); // a turned knob without a source
    EXPECT_EQ(warnings, (QStringList{"a.corvane, line 12: unknown key 'sparkle' ignored",
                                     "a.corvane, line 13: group [Window] ignored"}));

    // The README's annotated example is a sound that opens as it says.
    QFile readme(QStringLiteral(CORVANE_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QByteArray all = readme.readAll();
    const qsizetype from = all.indexOf("```ini\n") + 7;
    ASSERT_GT(from, 7);
    warnings.clear();
    const CExportOptions example = Read(all.mid(from, all.indexOf("```", from) - from), &warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_EQ(example.routes[CExportOptions::RouteCutoff]->source, 1);
    EXPECT_EQ(*example.cutoff, 1800.0);
}

TEST(SoundFile, RefusalsNameFileLineAndKeyAndChangeNothing)
{
    struct Case {
        QByteArray text;
        const char* message; // the end of "a.corvane, line N: ..."
    };
    const Case cases[] = {
        {"[Sound]\ncutoff=abc\n", "line 2: key 'cutoff': invalid value 'abc' (accepted: 10..10000 Hz)"},
        {"[Sound]\n\nhold=101\n", "line 3: key 'hold': invalid value '101' (accepted: 1..100 samples)"},
        {"[Sound]\npan=nan\n", "line 2: key 'pan': invalid value 'nan'"},
        {"[Sound]\nroute.pitch=lfo4:0.5\n", "line 2: key 'route.pitch': invalid value 'lfo4:0.5'"},
        {"[Sound]\nroute.pitch=lfo1\n", "line 2: key 'route.pitch': invalid value 'lfo1'"},
        {"[Sound]\nlfo1=sine:1#slow\n", "line 2: key 'lfo1': invalid value 'sine:1#slow'"},
        {"[Sound]\nmute=yes\n", "line 2: key 'mute': invalid value 'yes' (accepted: true|false)"},
        {"[Sound]\nnoise=pink\nNOISE=pink\n", "line 3: key 'NOISE': given twice (first on line 2)"},
        {"[Sound]\nformat=2\n", "line 2: key 'format': the sound is of format 2"},
        {"[Sound]\nformat=one\n", "line 2: key 'format': invalid value 'one'"},
        {"[Sound]\njust words\n", "line 2: 'just words' is not a setting (accepted: KEY=VALUE)"},
        {"[Sound\n", "line 1: '[Sound' is not a group name"},
        {"# hi\ncutoff=100\n", "line 2: key 'cutoff' comes before the [Sound] group"},
        {"[Settings]\ngeometry=1\n", "line 1: [Settings] is not a sound's group"},
        {"[Sound]\nnoise=pi\xffnk\n", "line 2: not UTF-8 text"},
        {QByteArray("[Sound]\0noise=pink\n", 19), "line 1: not UTF-8 text"},
        {"RIFF\x24\x08\x00\x00WAVEfmt ", "line 1: not UTF-8 text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        CExportOptions o;
        o.noise = 1; // what the caller had must survive a refusal
        QStringList warnings;
        QString error;
        EXPECT_FALSE(CSoundFile::Parse(c.text, "a.corvane", &o, &warnings, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("a.corvane, ") + c.message)) << error.toStdString();
        EXPECT_EQ(CSoundFile::Text(o), kHeader + "noise=uniform-white\n");
    }

    QTemporaryDir dir;
    const QString big = dir.filePath("big.corvane");
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("[Sound]\n" + QByteArray(CSoundFile::kMaxBytes, '#')) > 0);
    file.close();
    CExportOptions o;
    QString error;
    EXPECT_FALSE(CSoundFile::Load(big, &o, nullptr, &error));
    EXPECT_TRUE(error.startsWith(big + ": too large for a sound file")) << error.toStdString();
}

TEST(SoundFile, TheExportOptionsAreTheFileKeys)
{
    // Every option on a command line comes back from the file written for it, and the file
    // spells each value the way the command line does (which takes them in any case).
    CExportOptions given;
    QString error;
    ASSERT_TRUE(given.Parse({"corvane", "--export=x.FLAC", "--seconds", "1.5", "--noise", "Uniform-White",
                             "--hold", "7", "--smooth", "0.25", "--filter", "sv-bandpass", "--cutoff", "1234.5", "--q", "0.1", "--input",
                             "noise", "--volume", "-1234", "--mute", "true", "--pan", "0.2899", "--pitch", "1.5",
                             "--mode", "oneshot", "--lfo1", "pulse:0.02", "--lfo3", "Sawtooth:50", "--route",
                             "hold=lfo2:0.5", "--route", "cutoff=none:-0.25"},
                            &error))
        << error.toStdString();
    const QByteArray text = CSoundFile::Text(given);
    EXPECT_EQ(text, kHeader + "noise=uniform-white\nhold=7\nsmooth=0.25\nfilter=sv-bandpass\ncutoff=1234.5\nq=0.1\n"
                    "input=noise\nvolume=-1234\nmute=true\npan=0.2899\npitch=1.5\nmode=oneshot\nlfo1=pulse:0.02\n"
                    "lfo3=sawtooth:50\nroute.hold=lfo2:0.5\nroute.cutoff=none:-0.25\n");
    EXPECT_EQ(CSoundFile::Text(Read(text)), text);
    EXPECT_EQ(given.format, CExportOptions::FileFormat::Flac);
    EXPECT_EQ(given.FrameCount(), 66150);

    // What the file cannot show: the knob's deepest position (359) is reachable as the documented
    // 1.246; ten hours are too long for a WAV header but not for FLAC; help after --export.
    CExportOptions deep;
    ASSERT_TRUE(deep.Parse({"corvane", "--export", "a.flac", "--seconds", "36000", "--route", "volume=lfo1:1.246"},
                           &error))
        << error.toStdString();
    EXPECT_EQ(deep.routes[CExportOptions::RouteVolume]->knobPosition, 359);
    EXPECT_EQ(deep.FrameCount(), 36000LL * 44100);
    for (const QStringList& args : {QStringList{"corvane", "--export", "a.wav", "--help"},
                                    QStringList{"corvane", "--export", "--help"}}) {
        CExportOptions help;
        EXPECT_TRUE(help.Parse(args, &error) && help.helpRequested) << args.join(' ').toStdString();
    }
}

TEST(SoundFile, TheExportStartsFromASoundFileOrAReadySoundAndTheOptionsGivenWin)
{
    const QString surf = QStringLiteral(CORVANE_SOUNDS_DIR "/ocean-surf.corvane");
    const auto findSound = [&surf](const QString& name) { return name == "Ocean Surf" ? surf : QString(); };
    CExportOptions byName, byPath;
    QString error;
    // The option given stands before --sound on the line and still wins.
    ASSERT_TRUE(byName.Parse({"corvane", "--volume", "-5", "--export", "x.wav", "--seconds", "1", "--sound",
                              "Ocean Surf"},
                             &error, findSound))
        << error.toStdString();
    ASSERT_TRUE(byPath.Parse({"corvane", "--export", "x.wav", "--seconds", "1", "--sound", surf}, &error, findSound));
    EXPECT_EQ(*byName.volume, -5);
    EXPECT_NE(byPath.volume, byName.volume);
    byName.volume = byPath.volume;
    EXPECT_EQ(CSoundFile::Text(byName), CSoundFile::Text(byPath));
    EXPECT_GT(CSoundFile::Text(byPath).count('\n'), 4);

    CExportOptions none;
    EXPECT_FALSE(none.Parse({"corvane", "--export", "x.wav", "--seconds", "1", "--sound", "Ocean Sunrise"}, &error,
                            findSound));
    // The message names the option and the value and says where the names come from.
    for (const char* part : {"--sound", "'Ocean Sunrise'", "corvane --list-sounds"})
        EXPECT_TRUE(error.contains(part)) << error.toStdString();
}
