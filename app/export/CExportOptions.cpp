// Parses and checks the export options; every refusal is one line naming the option.
#include "app/export/CExportOptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

const QStringList kNoiseNames = {"phased-white", "uniform-white", "pink", "resonance-pink", "brown"};
const QStringList kFilterNames = {"classic", "sv-lowpass", "sv-highpass", "sv-bandpass", "sv-notch"};
const QStringList kInputNames = {"filter", "noise"};
const QStringList kShapeNames = {"sine", "triangle", "pulse", "sawtooth", "random"};
const QStringList kTargetNames = {"hold", "smooth", "cutoff", "q", "volume", "pan", "pitch"};

constexpr double kMaxSeconds = 86400.0;
// Largest data chunk a RIFF WAV header can describe, less room for the header itself.
constexpr double kMaxWavDataBytes = 4294967295.0 - 1024.0;
constexpr double kDepthMin = -0.25;
constexpr double kDepthMax = 1.246;

QString Refuse(const QString& option, const QString& value, const QString& accepted)
{
    return QStringLiteral("corvane: --%1: invalid value '%2' (accepted: %3)").arg(option, value, accepted);
}

// Index of `value` in `names`, compared without regard to case; -1 when absent.
int IndexOfName(const QStringList& names, const QString& value)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(value, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

bool ParseNumber(const QString& text, double* pValue)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        return false;
    }
    *pValue = v;
    return true;
}

bool ParseWhole(const QString& text, int* pValue)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) {
        return false;
    }
    *pValue = v;
    return true;
}

// A number within [lo, hi]; on failure *pError names the option and the range.
bool RangedNumber(const QString& option, const QString& text, double lo, double hi, const QString& range,
                  double* pValue, QString* pError)
{
    double v = 0.0;
    if (!ParseNumber(text, &v) || v < lo || v > hi) {
        *pError = Refuse(option, text, range);
        return false;
    }
    *pValue = v;
    return true;
}

bool RangedWhole(const QString& option, const QString& text, int lo, int hi, const QString& range, int* pValue,
                 QString* pError)
{
    int v = 0;
    if (!ParseWhole(text, &v) || v < lo || v > hi) {
        *pError = Refuse(option, text, range);
        return false;
    }
    *pValue = v;
    return true;
}

bool Named(const QString& option, const QString& text, const QStringList& names, int* pIndex, QString* pError)
{
    const int i = IndexOfName(names, text.trimmed());
    if (i < 0) {
        *pError = Refuse(option, text, names.join(QLatin1Char('|')));
        return false;
    }
    *pIndex = i;
    return true;
}

// "SHAPE:HZ", e.g. "sine:0.5".
bool ParseLfo(const QString& option, const QString& text, CExportOptions::Lfo* pLfo, QString* pError)
{
    const QString accepted = QStringLiteral("SHAPE:HZ with SHAPE %1 and HZ 0.005..50").arg(kShapeNames.join('|'));
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        *pError = Refuse(option, text, accepted);
        return false;
    }
    const int shape = IndexOfName(kShapeNames, text.left(colon).trimmed());
    double hz = 0.0;
    if (shape < 0 || !ParseNumber(text.mid(colon + 1), &hz) || hz < 0.005 || hz > 50.0) {
        *pError = Refuse(option, text, accepted);
        return false;
    }
    pLfo->shape = shape;
    pLfo->frequency = hz;
    return true;
}

// "TARGET=lfoN:DEPTH", e.g. "cutoff=lfo1:0.5".
bool ParseRoute(const QString& text, int* pTarget, CExportOptions::Route* pRoute, QString* pError)
{
    const QString accepted = QStringLiteral("TARGET=lfoN:DEPTH with TARGET %1, N 1..3 and DEPTH %2..%3")
                                 .arg(kTargetNames.join('|'))
                                 .arg(kDepthMin)
                                 .arg(kDepthMax);
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    const qsizetype colon = text.indexOf(QLatin1Char(':'), eq + 1);
    if (eq < 0 || colon < 0) {
        *pError = Refuse(QStringLiteral("route"), text, accepted);
        return false;
    }
    const int target = IndexOfName(kTargetNames, text.left(eq).trimmed());
    const QString source = text.mid(eq + 1, colon - eq - 1).trimmed().toLower();
    int lfo = 0;
    const bool sourceOk = source.size() == 4 && source.startsWith(QLatin1String("lfo")) &&
                          ParseWhole(source.mid(3), &lfo) && lfo >= 1 && lfo <= 3;
    double depth = 0.0;
    if (target < 0 || !sourceOk || !ParseNumber(text.mid(colon + 1), &depth) || depth < kDepthMin ||
        depth > kDepthMax) {
        *pError = Refuse(QStringLiteral("route"), text, accepted);
        return false;
    }
    // The knob has whole positions 0..359; the depth goes to the nearest one.
    const int position = static_cast<int>(std::lround(60.0 + depth * 240.0));
    *pTarget = target;
    *pRoute = CExportOptions::Route{lfo, std::clamp(position, 0, 359)};
    return true;
}

} // namespace

QString CExportOptions::UsageText()
{
    return QStringLiteral(
        "Usage: corvane --export FILE --seconds N [options]\n"
        "Renders N seconds of the synthesizer to FILE (.wav 16-bit PCM, .flac or .ogg) without a window.\n"
        "  --noise phased-white|uniform-white|pink|resonance-pink|brown\n"
        "  --hold SAMPLES          sample-and-hold length, 1..100\n"
        "  --smooth AMOUNT         glide between held values over this part of the hold, 0..1\n"
        "  --filter classic|sv-lowpass|sv-highpass|sv-bandpass|sv-notch\n"
        "  --cutoff HZ             10..10000\n"
        "  --q VALUE               0..1\n"
        "  --input filter|noise\n"
        "  --volume HUNDREDTHS_DB  -10000..0\n"
        "  --pan VALUE             -1 (left)..1 (right)\n"
        "  --pitch RATIO           0.25..4\n"
        "  --lfo1 SHAPE:HZ         also --lfo2, --lfo3; SHAPE sine|triangle|pulse|sawtooth|random, HZ 0.005..50\n"
        "  --route TARGET=lfoN:DEPTH  TARGET hold|smooth|cutoff|q|volume|pan|pitch, N 1..3, DEPTH -0.25..1.246\n"
        "                          (may be given once per target)\n"
        "  --rate HZ               file sample rate, 8000..192000 (default 44100)\n"
        "  --channels 1|2          (default 2)\n"
        "  --fade-in SECONDS       rise from silence over the first SECONDS (0..N)\n"
        "  --fade-out SECONDS      fall to silence over the last SECONDS (0..N; with --fade-in at most N)\n");
}

bool CExportOptions::Parse(const QStringList& args, QString* pError)
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
    for (const char* name : {"export", "seconds", "noise", "hold", "smooth", "filter", "cutoff", "q", "input", "volume",
                             "pan", "pitch", "lfo1", "lfo2", "lfo3", "route", "rate", "channels", "fade-in",
                             "fade-out"}) {
        valued(name);
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

    int index = 0;
    double number = 0.0;
    if (isSet("noise")) {
        if (!Named("noise", value("noise"), kNoiseNames, &index, pError)) return false;
        noise = index;
    }
    if (isSet("hold")) {
        if (!RangedWhole("hold", value("hold"), 1, 100, "1..100 samples", &index, pError)) return false;
        hold = index;
    }
    if (isSet("smooth")) {
        if (!RangedNumber("smooth", value("smooth"), 0.0, 1.0, "0..1", &number, pError)) return false;
        smooth = number;
    }
    if (isSet("filter")) {
        if (!Named("filter", value("filter"), kFilterNames, &index, pError)) return false;
        filter = index;
    }
    if (isSet("cutoff")) {
        if (!RangedNumber("cutoff", value("cutoff"), 10.0, 10000.0, "10..10000 Hz", &number, pError)) return false;
        cutoff = number;
    }
    if (isSet("q")) {
        if (!RangedNumber("q", value("q"), 0.0, 1.0, "0..1", &number, pError)) return false;
        q = number;
    }
    if (isSet("input")) {
        if (!Named("input", value("input"), kInputNames, &index, pError)) return false;
        input = index;
    }
    if (isSet("volume")) {
        if (!RangedWhole("volume", value("volume"), -10000, 0, "-10000..0 hundredths of a dB", &index, pError)) {
            return false;
        }
        volume = index;
    }
    if (isSet("pan")) {
        if (!RangedNumber("pan", value("pan"), -1.0, 1.0, "-1..1", &number, pError)) return false;
        pan = number;
    }
    if (isSet("pitch")) {
        if (!RangedNumber("pitch", value("pitch"), 0.25, 4.0, "0.25..4", &number, pError)) return false;
        pitch = number;
    }
    const char* lfoNames[3] = {"lfo1", "lfo2", "lfo3"};
    for (std::size_t k = 0; k < 3; ++k) {
        if (isSet(lfoNames[k]) && !ParseLfo(QString::fromLatin1(lfoNames[k]), value(lfoNames[k]), &lfo[k], pError)) {
            return false;
        }
    }
    for (const QString& text : parser.values(QStringLiteral("route"))) {
        int target = 0;
        Route route;
        if (!ParseRoute(text, &target, &route, pError)) {
            return false;
        }
        auto& slot = routes[static_cast<std::size_t>(target)];
        if (slot.has_value()) {
            // Two routes for one target would leave the user guessing which one plays.
            *pError = QStringLiteral("corvane: --route: target '%1' given twice (accepted: one route per target "
                                     "among %2)")
                          .arg(kTargetNames[target], kTargetNames.join('|'));
            return false;
        }
        slot = route;
    }
    return true;
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
