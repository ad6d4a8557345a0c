// The settings of one command-line export, parsed and checked before anything is rendered.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class CExportOptions {
public:
    enum class FileFormat { Wav, Flac, Ogg };

    // Route targets, in the order of the panel's route row. Their names are
    // CSoundVocabulary::RouteTargetNames().
    enum RouteTarget { RouteHold, RouteSmooth, RouteCutoff, RouteQ, RouteVolume, RoutePan, RoutePitch, RouteCount };

    struct Lfo {
        std::optional<int> shape;        // shape list index: 0 sine .. 4 random
        std::optional<double> frequency; // Hz, 0.005..50
    };
    struct Route {
        int source = 0;        // 1..3 = LFO 1..3, 0 none
        int knobPosition = 60; // 0..359; depth = (position - 60) / 240
    };

    // Parses the arguments (args[0] is the program name): --sound's file first, then the options
    // given over it. On failure returns false and puts one line naming the option and what it
    // accepts into *pError; the caller exits with 2.
    // `findSound` gives the file of a ready-made sound named by --sound when no such file exists
    // (empty when there is no sound of that name).
    using SoundFinder = std::function<QString(const QString& name)>;
    bool Parse(const QStringList& args, QString* pError, const SoundFinder& findSound = {});

    // Number of frames the file will hold: seconds x rate, rounded to the nearest frame.
    std::int64_t FrameCount() const;
    // Frames of the fade-in and the fade-out at the file's rate, rounded to the nearest frame.
    std::int64_t FadeInFrames() const;
    std::int64_t FadeOutFrames() const;

    QString file;
    FileFormat format = FileFormat::Wav;
    double seconds = 0.0;
    int rate = 44100;    // file sample rate in Hz, 8000..192000
    int channels = 2;    // 1 or 2
    double fadeIn = 0.0;  // seconds at the start rising from silence, 0..seconds
    double fadeOut = 0.0; // seconds at the end falling to silence; fadeIn + fadeOut <= seconds

    std::optional<int> noise;   // generator list index 0..4
    std::optional<int> hold;    // samples, 1..100
    std::optional<double> smooth; // glide over this part of the hold, 0..1
    std::optional<int> filter;  // filter list index 0..4
    std::optional<double> cutoff; // Hz, 10..10000
    std::optional<double> q;    // 0..1
    std::optional<int> input;   // 0 filter, 1 noise generator
    std::optional<int> volume;  // hundredths of a dB, -10000..0
    std::optional<double> pan;  // -1 left .. 1 right
    std::optional<double> pitch; // playback-rate ratio, 0.25..4
    std::array<Lfo, 3> lfo;
    std::array<std::optional<Route>, RouteCount> routes;
    std::optional<bool> mute;
    std::optional<int> mode;    // stream play mode: 1 one segment, 2 loop
    QString soundFile;          // --sound, as given
    QStringList soundWarnings;  // what the sound file's reader noted (unknown keys)
    bool helpRequested = false;

    // The text printed for --help.
    static QString UsageText();
};
