// Parses and checks the export options; every refusal is one line naming the option.
#include "app/export/CExportOptions.h"

#include "app/export/CSoundFile.h"
#include "app/export/CSoundVocabulary.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxSeconds = 86400.0;
// Largest data chunk a RIFF WAV header can describe, less room for the header itself.
constexpr double kMaxWavDataBytes = 4294967295.0 - 1024.0;

QString Refuse(const QString& option, const QString& value, const QString& accepted)
{
    return QStringLiteral("corvane: --%1: invalid value '%2' (accepted: %3)").arg(option, value, accepted);
}

bool RangedNumber(const QString& option, const QString& text, double lo, double hi, const QString& range,
                  double* pValue, QString* pError)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < lo || v > hi) {
        *pError = Refuse(option, text, range);
        return false;
    }
    *pValue = v;
    return true;
}

bool RangedWhole(const QString& option, const QString& text, int lo, int hi, const QString& range, int* pValue,
                 QString* pError)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < lo || v > hi) {
        *pError = Refuse(option, text, range);
        return false;
    }
    *pValue = v;
    return true;
}

// The sound options are the sound file's keys; a key "group.name" is given on the command line
// as --group name=VALUE (e.g. --route cutoff=lfo1:0.5), once per name.
struct CommandLineKey {
    QString option; // "cutoff", "route"
    QString prefix; // "", "cutoff=" for a grouped key
};

CommandLineKey CommandLineForm(const QString& key)
{
    const qsizetype dot = key.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        return {key, QString()};
    }
    return {key.left(dot), key.mid(dot + 1) + QLatin1Char('=')};
}

// Names of the keys "group.NAME", e.g. the route targets.
QStringList GroupNames(const QString& group)
{
    QStringList names;
    for (const CSoundVocabulary::Key& key : CSoundVocabulary::Keys()) {
        if (key.name.startsWith(group + QLatin1Char('.'))) {
            names << key.name.mid(group.size() + 1);
        }
    }
    return names;
}

// Parses the sound options given on the command line over whatever `o` holds already.
bool ParseSoundOptions(const QCommandLineParser& parser, CExportOptions& o, QString* pError)
{
    QStringList groups;
    for (const CSoundVocabulary::Key& key : CSoundVocabulary::Keys()) {
        const CommandLineKey form = CommandLineForm(key.name);
        if (!form.prefix.isEmpty()) {
            if (!groups.contains(form.option)) {
                groups << form.option;
            }
        } else if (parser.isSet(form.option) && !key.parse(parser.value(form.option), o, key.index)) {
            *pError = Refuse(form.option, parser.value(form.option), key.accepted);
            return false;
        }
    }
    for (const QString& group : groups) {
        const QStringList names = GroupNames(group);
        const QString accepted = QStringLiteral("TARGET=%1, TARGET %2")
                                     .arg(CSoundVocabulary::Find(group + QLatin1Char('.') + names.first())->accepted,
                                          names.join('|'));
        QStringList seen;
        for (const QString& text : parser.values(group)) {
            const qsizetype eq = text.indexOf(QLatin1Char('='));
            const CSoundVocabulary::Key* key =
                eq < 0 ? nullptr : CSoundVocabulary::Find(group + QLatin1Char('.') + text.left(eq).trimmed());
            if (key == nullptr || !key->parse(text.mid(eq + 1), o, key->index)) {
                *pError = Refuse(group, text, accepted);
                return false;
            }
            if (seen.contains(key->name)) {
                // Two routes for one target would leave the user guessing which one plays.
                *pError = QStringLiteral("corvane: --%1: target '%2' given twice (accepted: one per target among %3)")
                              .arg(group, text.left(eq).trimmed(), names.join('|'));
                return false;
            }
            seen << key->name;
        }
    }
    return true;
}

} // namespace

QString CExportOptions::UsageText()
{
    QString text = QStringLiteral(
        "Usage: corvane --export FILE --seconds N [--sound FILE] [options]\n"
        "Renders N seconds of the synthesizer to FILE (.wav 16-bit PCM, .flac or .ogg) without a window.\n"
        "  --sound FILE            start from a sound file (.corvane); the options below change it\n");
    // The sound's options, straight from the keys they share with the sound files.
    QStringList groups;
    for (const CSoundVocabulary::Key& key : CSoundVocabulary::Keys()) {
        const CommandLineKey form = CommandLineForm(key.name);
        if (form.prefix.isEmpty()) {
            text += QStringLiteral("  --%1 %2\n").arg(form.option, key.accepted);
        } else if (!groups.contains(form.option)) {
            groups << form.option;
            text += QStringLiteral("  --%1 TARGET=%2, TARGET %3 (once per target)\n")
                        .arg(form.option, key.accepted, GroupNames(form.option).join('|'));
        }
    }
    return text + QStringLiteral("  --rate HZ               file sample rate, 8000..192000 (default 44100)\n"
                                 "  --channels 1|2          (default 2)\n"
                                 "  --fade-in SECONDS       rise from silence over the first SECONDS (0..N)\n"
                                 "  --fade-out SECONDS      fall to silence over the last SECONDS (0..N; with "
                                 "--fade-in at most N)\n");
}

bool CExportOptions::Parse(const QStringList& args, QString* pError, const SoundFinder& findSound)
{
    // `corvane --export --help` asks for this text, although --export would take "--help" as its file.
    for (const char* help : {"--help", "-help", "-h"}) {
        if (!args.contains(QLatin1String(help)))
            continue;
        helpRequested = true;
        return true;
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto valued = [&parser](const char* name) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    };
    for (const char* name : {"export", "seconds", "sound", "rate", "channels", "fade-in", "fade-out"}) {
        valued(name);
    }
    QStringList soundOptions;
    for (const CSoundVocabulary::Key& key : CSoundVocabulary::Keys()) {
        const QString option = CommandLineForm(key.name).option;
        if (!soundOptions.contains(option)) {
            soundOptions << option;
            parser.addOption(QCommandLineOption(option, QString(), QStringLiteral("value")));
        }
    }

    if (!parser.parse(args)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString dashes = unknown.constFirst().size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            *pError = QStringLiteral("corvane: unknown option '%1%2' (see corvane --export --help)")
                          .arg(dashes, unknown.constFirst());
            return false;
        }
        *pError = QStringLiteral("corvane: %1 (see corvane --export --help)").arg(parser.errorText());
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *pError = QStringLiteral("corvane: unexpected argument '%1' (every export setting is an option)")
                      .arg(parser.positionalArguments().constFirst());
        return false;
    }
    const auto value = [&parser](const char* name) { return parser.value(QString::fromLatin1(name)); };
    const auto isSet = [&parser](const char* name) { return parser.isSet(QString::fromLatin1(name)); };

    // File and length first: they are what every export needs.
    file = value("export");
    if (!isSet("export") || file.trimmed().isEmpty()) {
        *pError = QStringLiteral("corvane: --export: missing file name "
                                 "(accepted: a path ending in .wav, .flac or .ogg)");
        return false;
    }
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("wav")) {
        format = FileFormat::Wav;
    } else if (suffix == QLatin1String("flac")) {
        format = FileFormat::Flac;
    } else if (suffix == QLatin1String("ogg")) {
        format = FileFormat::Ogg;
    } else {
        *pError = Refuse(QStringLiteral("export"), file, QStringLiteral("a file name ending in .wav, .flac or .ogg"));
        return false;
    }
    if (!isSet("seconds")) {
        *pError = QStringLiteral("corvane: --seconds: missing (accepted: more than 0, at most %1)").arg(kMaxSeconds);
        return false;
    }
    if (!RangedNumber("seconds", value("seconds"), 0.0, kMaxSeconds,
                      QStringLiteral("more than 0, at most %1").arg(kMaxSeconds), &seconds, pError)) {
        return false;
    }
    if (isSet("rate") && !RangedWhole("rate", value("rate"), 8000, 192000, "8000..192000 Hz", &rate, pError)) {
        return false;
    }
    if (isSet("channels") && !RangedWhole("channels", value("channels"), 1, 2, "1 or 2", &channels, pError)) {
        return false;
    }
    if (FrameCount() < 1) {
        *pError = Refuse(QStringLiteral("seconds"), value("seconds"),
                         QStringLiteral("at least one sample at %1 Hz").arg(rate));
        return false;
    }
    const double maxWavSeconds = std::floor(kMaxWavDataBytes / (2.0 * channels) / rate);
    if (format == FileFormat::Wav && seconds > maxWavSeconds) {
        *pError = Refuse(QStringLiteral("seconds"), value("seconds"),
                         QStringLiteral("at most %1 for a WAV file at %2 Hz, %3 channel(s); use .flac or .ogg "
                                        "for longer")
                             .arg(maxWavSeconds)
                             .arg(rate)
                             .arg(channels));
        return false;
    }

    const QString fadeRange = QStringLiteral("0..%1 seconds, fade-in and fade-out together at most %1").arg(seconds);
    if (isSet("fade-in") && !RangedNumber("fade-in", value("fade-in"), 0.0, seconds, fadeRange, &fadeIn, pError)) {
        return false;
    }
    if (isSet("fade-out") &&
        !RangedNumber("fade-out", value("fade-out"), 0.0, seconds - fadeIn, fadeRange, &fadeOut, pError)) {
        return false;
    }

    // The sound first, then the options given, wherever they stand on the line, over it.
    if (isSet("sound")) {
        soundFile = value("sound");
        if (!QFileInfo::exists(soundFile) && findSound) {
            const QString ready = findSound(soundFile);
            if (ready.isEmpty()) {
                *pError = Refuse(QStringLiteral("sound"), soundFile,
                                 QStringLiteral("a sound file, or a ready-made sound's name from corvane --list-sounds"));
                return false;
            }
            soundFile = ready;
        }
        QStringList warnings;
        if (!CSoundFile::Load(soundFile, this, &warnings, pError)) {
            *pError = QStringLiteral("corvane: --sound: %1").arg(*pError);
            return false;
        }
        soundWarnings = warnings;
    }
    return ParseSoundOptions(parser, *this, pError);
}

std::int64_t CExportOptions::FrameCount() const
{
    return static_cast<std::int64_t>(std::llround(seconds * rate));
}

std::int64_t CExportOptions::FadeInFrames() const
{
    return std::min(static_cast<std::int64_t>(std::llround(fadeIn * rate)), FrameCount());
}

std::int64_t CExportOptions::FadeOutFrames() const
{
    return std::min(static_cast<std::int64_t>(std::llround(fadeOut * rate)), FrameCount() - FadeInFrames());
}
