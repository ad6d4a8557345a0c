// Reads the panel's controls, engine and stream into sound settings.
#include "app/export/CSoundCapture.h"

#include "app/export/PanelControlIds.h"

#include "app/export/CSoundVocabulary.h"
#include "audio/CSoundStream.h"
#include "panel/CCorvaneFormView.h"
#include "panel/ParameterMapping.h"

#include <QAbstractSlider>
#include <QComboBox>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace corvane::panel_ids;

namespace {

// The slider of each key that has one.
const QHash<QString, int> kSliderOfKey = {
    {"hold", kHoldSlider}, {"smooth", kSmoothSlider}, {"cutoff", kFilterFreqSlider}, {"q", kFilterQSlider},
    {"volume", kVolumeSlider}, {"pan", kPanSlider}, {"pitch", kPitchSlider},
    {"lfo1", kLfoFreqSlider[0]}, {"lfo2", kLfoFreqSlider[1]}, {"lfo3", kLfoFreqSlider[2]}};
constexpr double kBaseRate = 44100.0;
constexpr DWORD kHighestRate = 100000;
constexpr DWORD kLowestRatioRate = 11025; // pitch 0.25

int ListIndex(const CCorvaneFormView& panel, int id)
{
    const auto* list = panel.GetControlAs<QComboBox>(id);
    return list != nullptr ? list->currentIndex() : -1;
}

int Position(const CCorvaneFormView& panel, int id)
{
    const auto* slider = panel.GetControlAs<QAbstractSlider>(id);
    return slider != nullptr ? slider->value() : 0;
}

// The shortest decimal of `value` for which `same` holds, so that a file reads naturally.
double Shortest(double value, const std::function<bool(double)>& same)
{
    for (int digits = 1; digits < 17; ++digits) {
        const double v = QString::number(value, 'g', digits).toDouble();
        if (same(v)) {
            return v;
        }
    }
    return value;
}

} // namespace

CSoundCapture::CSoundCapture(const CCorvaneFormView& panel) : m_panel(panel), m_start(Read(panel))
{
}

CSoundCapture::Reading CSoundCapture::Read(const CCorvaneFormView& panel)
{
    Reading r;
    CExportOptions& o = r.sound;
    for (auto it = kSliderOfKey.begin(); it != kSliderOfKey.end(); ++it) {
        r.sliders.insert(it.key(), Position(panel, it.value()));
    }
    if (ListIndex(panel, kGenTypeList) >= 0) {
        o.noise = ListIndex(panel, kGenTypeList);
    }
    // A modulation route can carry a value past what a slider or a file gives: the file keeps
    // the nearest it accepts (the route takes over again as soon as the sound plays).
    o.hold = std::clamp(panel.GetNoiseGenerator().GetHold(), 1, 100);
    o.smooth = std::clamp(static_cast<double>(panel.GetNoiseGenerator().GetSmooth()), 0.0, 1.0);
    if (ListIndex(panel, kFilterTypeList) >= 0) {
        o.filter = ListIndex(panel, kFilterTypeList);
    }
    o.cutoff = std::clamp(static_cast<double>(panel.GetFilter()->GetFrequency()), 10.0, 10000.0);
    o.q = std::clamp(static_cast<double>(panel.GetFilter()->GetQ()), 0.0, 1.0);
    o.input = panel.GetInput();
    o.mute = panel.GetMute() == 1;

    const CSoundStream* stream = panel.GetStream();
    IDirectSoundBuffer* buffer = stream != nullptr ? stream->GetBuffer() : nullptr;
    LONG volume = 0;
    LONG pan = 0;
    DWORD rate = 0;
    if (buffer != nullptr && SUCCEEDED(buffer->GetVolume(&volume)) && SUCCEEDED(buffer->GetPan(&pan)) &&
        SUCCEEDED(buffer->GetFrequency(&rate))) {
        o.volume = static_cast<int>(volume);
        o.pan = pan / 10000.0;
        if (rate < kLowestRatioRate) {
            o.pitch = 0.25;
        } else if (rate < kHighestRate) {
            o.pitch = Shortest(rate / kBaseRate, [rate](double v) { return std::lround(v * kBaseRate) == rate; });
        } else {
            // The stream's highest rate stands for every ratio above it: the slider tells which.
            const int p = r.sliders.value("pitch");
            const double ratio = std::exp2(2.0 * p / 100.0);
            o.pitch = Shortest(ratio, [p](double v) { return std::lround(std::log2(v) / 2.0 * 100.0) == p; });
        }
        o.mode = stream->GetPlayMode();
    }
    for (int k = 0; k < 3; ++k) {
        const int shape = ListIndex(panel, kLfoShapeList[k]);
        if (shape >= 0) {
            o.lfo[static_cast<std::size_t>(k)] = {shape, static_cast<double>(panel.GetLfo(k).GetFrequency())};
        }
    }
    for (int t = 0; t < CExportOptions::RouteCount; ++t) {
        const int source = ListIndex(panel, kRouteList[t]);
        o.routes[static_cast<std::size_t>(t)] =
            CExportOptions::Route{source >= 1 && source <= 3 ? source : 0, Position(panel, kRouteKnob[t])};
    }
    return r;
}

CExportOptions CSoundCapture::Capture() const
{
    const Reading now = Read(m_panel);
    CExportOptions sound;
    // Through each key's own text, the form the sound file holds.
    for (const CSoundVocabulary::Key& key : CSoundVocabulary::Keys()) {
        const std::optional<QString> value = key.format(now.sound, key.index);
        const bool untouched = value == key.format(m_start.sound, key.index) &&
                               now.sliders.value(key.name) == m_start.sliders.value(key.name);
        if (value && !untouched) {
            key.parse(*value, sound, key.index);
        }
    }
    return sound;
}
