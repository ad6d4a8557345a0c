// The sound's keys: parsing and writing each value in the one syntax the command line and the
// sound files share.
#include "app/export/CSoundVocabulary.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr double kDepthMin = -0.25;
constexpr double kDepthMax = 1.246;
constexpr int kKnobStart = 60; // the knob position of depth 0

// Index of `value` in `names`, compared without regard to case; -1 when absent.
int IndexOfName(const QStringList& names, const QString& value)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(value.trimmed(), Qt::CaseInsensitive) == 0) {
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

template <class T>
bool InRange(const QString& text, double lo, double hi, std::optional<T>* pField)
{
    double v = 0.0;
    if (!ParseNumber(text, &v) || v < lo || v > hi) {
        return false;
    }
    *pField = static_cast<T>(v);
    return true;
}

bool WholeInRange(const QString& text, int lo, int hi, std::optional<int>* pField)
{
    int v = 0;
    if (!ParseWhole(text, &v) || v < lo || v > hi) {
        return false;
    }
    *pField = v;
    return true;
}

bool Named(const QString& text, const QStringList& names, std::optional<int>* pField)
{
    const int i = IndexOfName(names, text);
    if (i < 0) {
        return false;
    }
    *pField = i;
    return true;
}

std::optional<QString> Number(const std::optional<double>& v)
{
    return v ? std::optional<QString>(CSoundVocabulary::ShortNumber(*v)) : std::nullopt;
}

std::optional<QString> Whole(const std::optional<int>& v)
{
    return v ? std::optional<QString>(QString::number(*v)) : std::nullopt;
}

std::optional<QString> Name(const std::optional<int>& v, const QStringList& names)
{
    if (!v || *v < 0 || *v >= names.size()) {
        return std::nullopt;
    }
    return names[*v];
}

const QStringList kInputNames = {"filter", "noise"};
const QStringList kModeNames = {"oneshot", "loop"}; // stream play modes 1 and 2
const QStringList kBoolNames = {"false", "true"};

// "SHAPE:HZ", e.g. "sine:0.5".
bool ParseLfo(const QString& text, CExportOptions& o, int k)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const int shape = colon < 0 ? -1 : IndexOfName(CSoundVocabulary::ShapeNames(), text.left(colon));
    double hz = 0.0;
    if (shape < 0 || !ParseNumber(text.mid(colon + 1), &hz) || hz < 0.005 || hz > 50.0) {
        return false;
    }
    o.lfo[static_cast<std::size_t>(k)] = CExportOptions::Lfo{shape, hz};
    return true;
}

std::optional<QString> FormatLfo(const CExportOptions& o, int k)
{
    const CExportOptions::Lfo& lfo = o.lfo[static_cast<std::size_t>(k)];
    if (!lfo.shape || !lfo.frequency) {
        return std::nullopt;
    }
    return CSoundVocabulary::ShapeNames().value(*lfo.shape) + QLatin1Char(':') +
           CSoundVocabulary::ShortNumber(*lfo.frequency);
}

// "lfoN:DEPTH", "none" or "none:DEPTH" (a turned knob without a source).
bool ParseRoute(const QString& text, CExportOptions& o, int target)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString source = (colon < 0 ? text : text.left(colon)).trimmed().toLower();
    int lfo = 0;
    if (source != QLatin1String("none")) {
        const bool sourceOk = source.size() == 4 && source.startsWith(QLatin1String("lfo")) &&
                              ParseWhole(source.mid(3), &lfo) && lfo >= 1 && lfo <= 3;
        if (!sourceOk || colon < 0) {
            return false;
        }
    }
    double depth = 0.0;
    if (colon >= 0 && (!ParseNumber(text.mid(colon + 1), &depth) || depth < kDepthMin || depth > kDepthMax)) {
        return false;
    }
    // The knob has whole positions 0..359; the depth goes to the nearest one.
    const int position = static_cast<int>(std::lround(kKnobStart + depth * 240.0));
    o.routes[static_cast<std::size_t>(target)] = CExportOptions::Route{lfo, std::clamp(position, 0, 359)};
    return true;
}

std::optional<QString> FormatRoute(const CExportOptions& o, int target)
{
    const auto& route = o.routes[static_cast<std::size_t>(target)];
    if (!route) {
        return std::nullopt;
    }
    const int p = route->knobPosition;
    const QString source = route->source >= 1 && route->source <= 3
                               ? QStringLiteral("lfo%1").arg(route->source)
                               : QStringLiteral("none");
    if (p == kKnobStart && source == QLatin1String("none")) {
        return source;
    }
    // The fewest digits that still lead back to the same knob position.
    const double depth = (p - kKnobStart) / 240.0;
    for (int digits = 1;; ++digits) {
        const QString text = QString::number(depth, 'g', digits);
        if (std::lround(kKnobStart + text.toDouble() * 240.0) == p || digits >= 17) {
            return source + QLatin1Char(':') + text;
        }
    }
}

std::vector<CSoundVocabulary::Key> MakeKeys()
{
    using O = CExportOptions;
    std::vector<CSoundVocabulary::Key> keys = {
        {"noise", CSoundVocabulary::NoiseNames().join('|'),
         [](const QString& t, O& o, int) { return Named(t, CSoundVocabulary::NoiseNames(), &o.noise); },
         [](const O& o, int) { return Name(o.noise, CSoundVocabulary::NoiseNames()); }},
        {"hold", "1..100 samples", [](const QString& t, O& o, int) { return WholeInRange(t, 1, 100, &o.hold); },
         [](const O& o, int) { return Whole(o.hold); }},
        {"smooth", "0..1 of the hold (glide between held values)",
         [](const QString& t, O& o, int) { return InRange(t, 0.0, 1.0, &o.smooth); },
         [](const O& o, int) { return Number(o.smooth); }},
        {"filter", CSoundVocabulary::FilterNames().join('|'),
         [](const QString& t, O& o, int) { return Named(t, CSoundVocabulary::FilterNames(), &o.filter); },
         [](const O& o, int) { return Name(o.filter, CSoundVocabulary::FilterNames()); }},
        {"cutoff", "10..10000 Hz", [](const QString& t, O& o, int) { return InRange(t, 10.0, 10000.0, &o.cutoff); },
         [](const O& o, int) { return Number(o.cutoff); }},
        {"q", "0..1", [](const QString& t, O& o, int) { return InRange(t, 0.0, 1.0, &o.q); },
         [](const O& o, int) { return Number(o.q); }},
        {"input", kInputNames.join('|'), [](const QString& t, O& o, int) { return Named(t, kInputNames, &o.input); },
         [](const O& o, int) { return Name(o.input, kInputNames); }},
        {"volume", "-10000..0 hundredths of a dB",
         [](const QString& t, O& o, int) { return WholeInRange(t, -10000, 0, &o.volume); },
         [](const O& o, int) { return Whole(o.volume); }},
        {"mute", "true|false",
         [](const QString& t, O& o, int) {
             std::optional<int> i;
             if (!Named(t, kBoolNames, &i)) {
                 return false;
             }
             o.mute = *i == 1;
             return true;
         },
         [](const O& o, int) {
             return o.mute ? std::optional<QString>(kBoolNames[*o.mute ? 1 : 0]) : std::nullopt;
         }},
        {"pan", "-1..1", [](const QString& t, O& o, int) { return InRange(t, -1.0, 1.0, &o.pan); },
         [](const O& o, int) { return Number(o.pan); }},
        {"pitch", "0.25..4", [](const QString& t, O& o, int) { return InRange(t, 0.25, 4.0, &o.pitch); },
         [](const O& o, int) { return Number(o.pitch); }},
        {"mode", kModeNames.join('|'),
         [](const QString& t, O& o, int) {
             std::optional<int> i;
             if (!Named(t, kModeNames, &i)) {
                 return false;
             }
             o.mode = *i + 1;
             return true;
         },
         [](const O& o, int) {
             return o.mode ? std::optional<QString>(kModeNames.value(*o.mode - 1)) : std::nullopt;
         }},
    };
    const QString lfoAccepted =
        QStringLiteral("SHAPE:HZ with SHAPE %1 and HZ 0.005..50").arg(CSoundVocabulary::ShapeNames().join('|'));
    for (int k = 0; k < 3; ++k) {
        keys.push_back({QStringLiteral("lfo%1").arg(k + 1), lfoAccepted, ParseLfo, FormatLfo, k});
    }
    const QString routeAccepted = QStringLiteral("lfoN:DEPTH or none with N 1..3 and DEPTH %1..%2")
                                      .arg(kDepthMin)
                                      .arg(kDepthMax);
    const QStringList& targets = CSoundVocabulary::RouteTargetNames();
    for (int t = 0; t < targets.size(); ++t) {
        keys.push_back({QStringLiteral("route.") + targets[t], routeAccepted, ParseRoute, FormatRoute, t});
    }
    return keys;
}

} // namespace

const QStringList& CSoundVocabulary::RouteTargetNames()
{
    static const QStringList names = {"hold", "smooth", "cutoff", "q", "volume", "pan", "pitch"};
    return names;
}

const QStringList& CSoundVocabulary::NoiseNames()
{
    static const QStringList names = {"phased-white", "uniform-white", "pink", "resonance-pink", "brown"};
    return names;
}

const QStringList& CSoundVocabulary::FilterNames()
{
    static const QStringList names = {"classic", "sv-lowpass", "sv-highpass", "sv-bandpass", "sv-notch"};
    return names;
}

const QStringList& CSoundVocabulary::ShapeNames()
{
    static const QStringList names = {"sine", "triangle", "pulse", "sawtooth", "random"};
    return names;
}

const std::vector<CSoundVocabulary::Key>& CSoundVocabulary::Keys()
{
    static const std::vector<Key> keys = MakeKeys();
    return keys;
}

const CSoundVocabulary::Key* CSoundVocabulary::Find(const QString& name)
{
    for (const Key& key : Keys()) {
        if (key.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &key;
        }
    }
    return nullptr;
}

QString CSoundVocabulary::ShortNumber(double value)
{
    char buffer[64];
    const auto asFloat = static_cast<float>(value);
    const auto end = static_cast<double>(asFloat) == value
                         ? std::to_chars(buffer, buffer + sizeof buffer, asFloat).ptr
                         : std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return QString::fromLatin1(buffer, end - buffer);
}
