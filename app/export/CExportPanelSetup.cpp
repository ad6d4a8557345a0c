// Applies export options through the panel's handlers and setters.
#include "app/export/CExportPanelSetup.h"

#include "audio/CSoundStream.h"
#include "panel/CCorvaneFormView.h"
#include "panel/ParameterMapping.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

// Control identifiers of the panel's template.
constexpr int kGenTypeList = 1010;
constexpr int kHoldSlider = 1011;
constexpr int kSmoothSlider = 1032;
constexpr int kFilterTypeList = 1009;
constexpr int kFilterFreqSlider = 1002;
constexpr int kFilterQSlider = 1004;
constexpr int kInputList = 1014;
constexpr int kVolumeSlider = 1015;
constexpr int kPanSlider = 1017;
constexpr int kPitchSlider = 1019;
constexpr int kLfoShapeList[3] = {1012, 1036, 1039};
constexpr int kLfoFreqSlider[3] = {1025, 1038, 1041};
// Knob and source list of each route, in CExportOptions::RouteTarget order.
constexpr int kRouteKnob[CExportOptions::RouteCount] = {1031, 1035, 1007, 1028, 1008, 1042, 1044};
constexpr int kRouteList[CExportOptions::RouteCount] = {1034, 1033, 1026, 1029, 1027, 1043, 1045};

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
        MoveSlider(kHoldSlider, HoldSliderPosition(n));
        ApplyFirstReaching({static_cast<float>(n / 100.0), Nudged(n, 100.0)},
                           [&](float v) { m_panel.ApplyHold(v, kShowValue); },
                           [&] { return m_panel.GetNoiseGenerator().GetHold() == n; });
    }
    if (o.smooth) {
        MoveSlider(kSmoothSlider, static_cast<int>(std::lround(100.0 - *o.smooth * 100.0)));
        m_panel.ApplySmooth(static_cast<float>(*o.smooth), kShowValue);
    }
    if (o.filter) {
        SelectList(kFilterTypeList, *o.filter, &CCorvaneFormView::OnSelchangeFilterType);
    }
    if (o.cutoff) {
        const double hz = *o.cutoff;
        MoveSlider(kFilterFreqSlider, static_cast<int>(std::lround(100.0 - hz / 100.0)));
        m_panel.ApplyFilterFrequency(static_cast<float>(hz / 10000.0), kShowValue);
    }
    if (o.q) {
        MoveSlider(kFilterQSlider, static_cast<int>(std::lround(100.0 - *o.q * 100.0)));
        m_panel.ApplyFilterQ(static_cast<float>(*o.q), kShowValue);
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
    if (o.pan) {
        const auto units = static_cast<LONG>(std::lround(*o.pan * 10000.0));
        MoveSlider(kPanSlider, static_cast<int>(std::lround(*o.pan * 100.0)));
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
        MoveSlider(kPitchSlider, static_cast<int>(std::lround(v * 100.0)));
        ApplyFirstReaching({f, std::nextafter(f, 2.0f), std::nextafter(f, -2.0f)},
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
    return notes;
}
