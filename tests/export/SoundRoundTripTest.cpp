// Saving a panel's sound and opening it again restores every control and every value the
// sound consists of, over thousands of random panel states.
#include "app/export/CExportPanelSetup.h"
#include "app/export/CHeadlessPanel.h"
#include "app/export/CSoundCapture.h"
#include "app/export/CSoundFile.h"
#include "audio/CSoundStream.h"
#include "panel/CCorvaneFormView.h"
#include "panel/ParameterMapping.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

namespace {

constexpr int kHoldSlider = 1011;

// Everything a listener hears or a user sees of the panel's sound: each control's list index,
// slider or knob position or check state by id, and the engine's values by name.
struct PanelState {
    std::map<int, int> controls;
    std::map<std::string, double> engine;
};

PanelState Read(const CCorvaneFormView& p)
{
    PanelState s;
    for (int id = 1000; id < 1100; ++id) {
        if (auto* list = p.GetControlAs<QComboBox>(id))
            s.controls[id] = list->currentIndex();
        else if (auto* box = p.GetControlAs<QCheckBox>(id))
            s.controls[id] = box->isChecked();
        else if (auto* slider = p.GetControlAs<QAbstractSlider>(id))
            s.controls[id] = slider->value();
    }
    LONG volume = 0, pan = 0;
    DWORD rate = 0;
    IDirectSoundBuffer* buffer = p.GetStream()->GetBuffer();
    buffer->GetVolume(&volume);
    buffer->GetPan(&pan);
    buffer->GetFrequency(&rate);
    const auto& noise = p.GetNoiseGenerator();
    const auto* filter = p.GetFilter();
    s.engine = {{"noise", noise.GetType()}, {"hold", noise.GetHold()}, {"smooth", noise.GetSmooth()},
                {"state-variable", filter == &p.GetSvFilter()}, {"filter", filter->GetType()},
                {"cutoff", filter->GetFrequency()}, {"q", filter->GetQ()}, {"input", p.GetInput()},
                {"mute", p.GetMute()}, {"volume", volume}, {"pan", pan}, {"rate", rate},
                {"mode", p.GetStream()->GetPlayMode()}, {"lfo1", p.GetLfo(0).GetFrequency()},
                {"lfo2", p.GetLfo(1).GetFrequency()}, {"lfo3", p.GetLfo(2).GetFrequency()}};
    return s;
}

// A user's session on the panel: lists first (a type is picked before it is shaped), then
// values only a file can give (between two slider steps), then sliders and knobs moved.
void Randomise(CCorvaneFormView& p, std::mt19937& rng)
{
    const auto chance = [&rng](int percent) { return static_cast<int>(rng() % 100) < percent; };
    const auto pick = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<QAbstractSlider*> sliders;
    for (int id = 1000; id < 1100; ++id) {
        if (auto* list = p.GetControlAs<QComboBox>(id); list && chance(40))
            list->setCurrentIndex(static_cast<int>(rng() % static_cast<unsigned>(list->count())));
        else if (auto* slider = p.GetControlAs<QAbstractSlider>(id); slider && !qobject_cast<QScrollBar*>(slider))
            sliders.push_back(slider);
    }
    CExportOptions file;
    if (chance(20)) file.hold = static_cast<int>(1 + rng() % 100);
    if (chance(20)) file.smooth = pick(0, 1);
    if (chance(20)) file.cutoff = pick(10, 10000);
    if (chance(20)) file.q = pick(0, 1);
    if (chance(20)) file.volume = -static_cast<int>(rng() % 10001);
    if (chance(20)) file.pan = pick(-1, 1);
    if (chance(20)) file.pitch = std::exp2(pick(-2, 2));
    CExportPanelSetup(p).Apply(file);
    for (QAbstractSlider* slider : sliders) {
        if (chance(30)) {
            slider->blockSignals(true);
            slider->setValue(slider->minimum() +
                             static_cast<int>(rng() % static_cast<unsigned>(slider->maximum() - slider->minimum() + 1)));
            slider->blockSignals(false);
            p.OnSliderMoved(slider); // what the slider's or knob's report runs
        }
    }
    if (chance(25))
        p.GetControlAs<QCheckBox>(1021)->click();
    if (chance(25))
        p.OnSoundOneShot();
}

} // namespace

TEST(SoundRoundTrip, SaveAndOpenRestoreEveryControlExactly)
{
    QString error;
    CHeadlessPanel saved, opened;
    ASSERT_TRUE(saved.Create(44100, 2, &error)) << error.toStdString();
    ASSERT_TRUE(opened.Create(44100, 2, &error)) << error.toStdString();
    std::mt19937 rng(20261207);
    int holdStepsMerged = 0;
    for (int i = 0; i < 2000; ++i) {
        // The first state is the untouched start-up panel.
        saved.Panel().OnInitialUpdate();
        const CSoundCapture capture(saved.Panel());
        if (i > 0)
            Randomise(saved.Panel(), rng);
        PanelState before = Read(saved.Panel());

        const QByteArray text = CSoundFile::Text(capture.Capture());
        CExportOptions sound;
        ASSERT_TRUE(CSoundFile::Parse(text, "x.corvane", &sound, nullptr, &error)) << error.toStdString();
        opened.Panel().OnInitialUpdate();
        CExportPanelSetup(opened.Panel()).Apply(sound);
        PanelState after = Read(opened.Panel());

        // Two neighbouring steps of the hold slider give the same hold (1 - p/100 is stored
        // as a float and truncated); the file keeps the hold, so either step may come back.
        const auto holdOf = [](int p) { return corvane::panel::HoldFromValue(corvane::panel::UnitFromTopSlider(p)); };
        if (after.controls[kHoldSlider] != before.controls[kHoldSlider] &&
            holdOf(after.controls[kHoldSlider]) == holdOf(before.controls[kHoldSlider])) {
            after.controls[kHoldSlider] = before.controls[kHoldSlider];
            ++holdStepsMerged;
        }
        SCOPED_TRACE(text.toStdString());
        ASSERT_EQ(after.controls, before.controls);
        ASSERT_EQ(after.engine, before.engine);
    }
    // The exception above is rare: about one state in fifteen moves the hold slider onto one.
    EXPECT_LT(holdStepsMerged, 200);
}
