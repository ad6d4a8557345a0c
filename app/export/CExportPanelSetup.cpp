// Applies export options through the panel's handlers and setters.
#include "app/export/CExportPanelSetup.h"

#include "app/export/PanelControlIds.h"

#include "audio/CSoundStream.h"
#include "panel/CCorvaneFormView.h"
#include "panel/ParameterMapping.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

using namespace corvane::panel_ids;

namespace {

// Candidate setter values: the plain one, then one nudged half a step away from zero so that
// a truncating conversion of a float just below the wanted integer still lands on it.
float Nudged(double units, double scale)
{
    return static_cast<float>((units + std::copysign(0.5, units)) / scale);
}

// Calls `set` with each candidate until `reached` reports the wanted result; without one, the
// first candidate stays.
template <class Set, class Reached>
void ApplyFirstReaching(std::initializer_list<float> candidates, Set set, Reached reached)
{
    for (const float v : candidates) {
        set(v);
        if (reached()) {
            return;
        }
    }
    set(*candidates.begin());
}

} // namespace

int CExportPanelSetup::HoldSliderPosition(int hold)
{
    // Where a user puts the slider for this hold; a hold no step gives goes where the panel's
    // own setter puts it.
    for (int p = 0; p <= 100; ++p) {
        if (corvane::panel::HoldFromValue(corvane::panel::UnitFromTopSlider(p)) == hold) {
            return p;
        }
    }
    return corvane::panel::HoldSliderPosition(hold);
}

int CExportPanelSetup::LfoSliderPosition(double hz)
{
    int best = 1;
    for (int p = 1; p <= 100; ++p) {
        if (std::fabs(corvane::panel::LfoFrequencyFromSlider(p) - hz) <
            std::fabs(corvane::panel::LfoFrequencyFromSlider(best) - hz)) {
            best = p;
        }
    }
    return best;
}

void CExportPanelSetup::SelectList(int id, int index, void (CCorvaneFormView::*handler)())
{
    QComboBox* list = m_panel.GetControlAs<QComboBox>(id);
    if (list == nullptr) {
        return;
    }
    {
        // The handler runs once, below, whether or not the panel also listens to the signal.
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(index);
    }
    if (handler != nullptr) {
        (m_panel.*handler)();
    }
}

void CExportPanelSetup::MoveSlider(int id, int position)
{
    auto* slider = m_panel.GetControlAs<QAbstractSlider>(id);
    if (slider == nullptr) {
        return;
    }
    {
        const QSignalBlocker blocker(slider);
        slider->setValue(position);
    }
    m_panel.OnSliderMoved(slider);
}

QStringList CExportPanelSetup::Apply(const CExportOptions& o)
{
    using namespace corvane::panel;
    QStringList notes;
    CSoundStream* stream = m_panel.GetStream();
    IDirectSoundBuffer* buffer = stream != nullptr ? stream->GetBuffer() : nullptr;

    // In the order a user works down the panel: generator, filter (its type before its cutoff
    // and Q, which go to the filter in use), channel, LFOs, then the routes.
    if (o.noise) {
        SelectList(kGenTypeList, *o.noise, &CCorvaneFormView::OnSelchangeGenType);
    }
    if (o.hold) {
        const int n = *o.hold;
        MoveSlider(kHoldSlider, CExportPanelSetup::HoldSliderPosition(n));
        ApplyFirstReaching({static_cast<float>(n / 100.0), Nudged(n, 100.0)},
                           [&](float v) { m_panel.ApplyHold(v, kShowValue); },
                           [&] { return m_panel.GetNoiseGenerator().GetHold() == n; });
    }
    if (o.smooth) {
        const auto v = static_cast<float>(*o.smooth);
        MoveSlider(kSmoothSlider, static_cast<int>(std::lround(100.0 - static_cast<double>(v) * 100.0)));
        m_panel.ApplySmooth(v, kShowValue);
    }
    if (o.filter) {
        SelectList(kFilterTypeList, *o.filter, &CCorvaneFormView::OnSelchangeFilterType);
    }
    if (o.cutoff) {
        const double hz = *o.cutoff;
        const auto target = static_cast<float>(hz);
        const auto v = static_cast<float>(hz / 10000.0);
        MoveSlider(kFilterFreqSlider, static_cast<int>(std::lround(100.0 - static_cast<double>(target) / 100.0)));
        ApplyFirstReaching({v, std::nextafter(v, 2.0f), std::nextafter(v, 0.0f)},
                           [&](float x) { m_panel.ApplyFilterFrequency(x, kShowValue); },
                           [&] { return m_panel.GetFilter()->GetFrequency() == target; });
    }
    if (o.q) {
        const auto q = static_cast<float>(*o.q);
        MoveSlider(kFilterQSlider, static_cast<int>(std::lround(100.0 - static_cast<double>(q) * 100.0)));
        m_panel.ApplyFilterQ(q, kShowValue);
    }
    if (o.input) {
        SelectList(kInputList, *o.input, &CCorvaneFormView::OnSelchangeInput);
    }
    if (o.volume) {
        const int n = *o.volume;
        MoveSlider(kVolumeSlider, static_cast<int>(std::lround(-n / 100.0)));
        ApplyFirstReaching({static_cast<float>(n / 10000.0), Nudged(n, 10000.0)},
                           [&](float v) { m_panel.ApplyVolume(v, kShowValue); },
                           [&] {
                               LONG now = 1;
                               return buffer != nullptr && SUCCEEDED(buffer->GetVolume(&now)) && now == n;
                           });
    }
    if (o.mute) {
        if (auto* box = m_panel.GetControlAs<QCheckBox>(kMuteBox)) {
            const QSignalBlocker blocker(box);
            box->setChecked(*o.mute);
        }
        m_panel.OnMute();
    }
    if (o.pan) {
        const auto units = static_cast<LONG>(std::lround(*o.pan * 10000.0));
        MoveSlider(kPanSlider, static_cast<int>(std::lround(units / 100.0)));
        ApplyFirstReaching({static_cast<float>(units / 10000.0), Nudged(units, 10000.0)},
                           [&](float v) { m_panel.ApplyPan(v, kShowValue); },
                           [&] {
                               LONG now = 0;
                               return buffer != nullptr && SUCCEEDED(buffer->GetPan(&now)) && now == units;
                           });
    }
    if (o.pitch) {
        // ratio = 2^(2v): v is half the octave count.
        const double v = std::log2(*o.pitch) / 2.0;
        const auto hz = static_cast<DWORD>(std::clamp(std::lround(*o.pitch * 44100.0), 100L, 100000L));
        const float f = static_cast<float>(v);
        // The stream truncates the rate, so the middle of the wanted hertz is the surest aim.
        const float mid = static_cast<float>(std::log2((static_cast<double>(hz) + 0.5) / 44100.0) / 2.0);
        // Each slider goes where the value the engine takes puts it, so that the same sound
        // always shows the same way; above the highest rate only the ratio tells.
        const double shown = hz < 100000 ? std::log2(hz / 44100.0) / 2.0 : v;
        MoveSlider(kPitchSlider, static_cast<int>(std::lround(shown * 100.0)));
        ApplyFirstReaching({f, mid, std::nextafter(mid, 2.0f), std::nextafter(mid, -2.0f)},
                           [&](float x) { m_panel.ApplyPitch(x, kShowValue); },
                           [&] {
                               DWORD now = 0;
                               return buffer != nullptr && SUCCEEDED(buffer->GetFrequency(&now)) && now == hz;
                           });
        if (*o.pitch * 44100.0 > 100000.0) {
            notes << QStringLiteral("corvane: note: --pitch %1 plays at %2 Hz, the stream's highest rate")
                         .arg(*o.pitch)
                         .arg(100000);
        }
    }
    static constexpr void (CCorvaneFormView::*kShapeHandler[3])() = {
        &CCorvaneFormView::OnSelchangeLfo1Shape, &CCorvaneFormView::OnSelchangeLfo2Shape,
        &CCorvaneFormView::OnSelchangeLfo3Shape};
    for (int k = 0; k < 3; ++k) {
        const CExportOptions::Lfo& lfo = o.lfo[static_cast<std::size_t>(k)];
        if (lfo.shape) {
            SelectList(kLfoShapeList[k], *lfo.shape, kShapeHandler[k]);
        }
        // The LFO frequency has no setter of its own: only its slider's steps can be reached.
        if (lfo.frequency && static_cast<float>(*lfo.frequency) != m_panel.GetLfo(k).GetFrequency()) {
            const int position = LfoSliderPosition(*lfo.frequency);
            MoveSlider(kLfoFreqSlider[k], position);
            const float actual = m_panel.GetLfo(k).GetFrequency();
            if (actual != static_cast<float>(*lfo.frequency)) {
                notes << QStringLiteral("corvane: note: --lfo%1 runs at %2 Hz, the nearest step of its slider")
                             .arg(k + 1)
                             .arg(static_cast<double>(actual), 0, 'f', 3);
            }
        }
    }
    for (int t = 0; t < CExportOptions::RouteCount; ++t) {
        const auto& route = o.routes[static_cast<std::size_t>(t)];
        if (route) {
            SelectList(kRouteList[t], route->source, nullptr); // source lists have no handler
            MoveSlider(kRouteKnob[t], route->knobPosition);
        }
    }
    if (o.mode) {
        if (*o.mode == 1) {
            m_panel.OnSoundOneShot();
        } else {
            m_panel.OnSoundLoop();
        }
    }
    return notes;
}
