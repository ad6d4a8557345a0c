// Shared fixture of the panel tests: one panel on the manual audio back-end, with helpers that
// tick the render cycle, move the play cursor and read what the stream holds.
#pragma once

#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "controls/COrbRotaryKnob.h"
#include "controls/CSegmentDisplay.h"
#include "controls/CTextLabel.h"
#include "panel/CCorvaneFormView.h"
#include "platform/dsound.h"
#include "platform/kernel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// Every test starts with the panel set up, as after start-up.
class PanelTest : public ::testing::Test {
protected:
    static constexpr int kSegmentBytes = 1764;
    static constexpr DWORD kFramesPerSegment = 441; // 22050 Hz output, 44100 Hz stream

    void SetUp() override
    {
        setenv("CORVANE_AUDIO", "manual", 1);
        CSoundStream::ResetStreamingState();
        corvane::platform::SetDebugOutputSink([this](const std::string& line) { debugLines.push_back(line); });
        view = std::make_unique<CCorvaneFormView>();
        view->SetMessageBoxHandler([this](const std::string& text, const std::string& caption) {
            messages.push_back(caption + "|" + text);
        });
        view->OnInitialUpdate();
    }

    void TearDown() override
    {
        view.reset();
        corvane::platform::SetDebugOutputSink({});
        corvane::platform::SetDirectSoundFactory({});
    }

    // One due tick: 20 ms after the previous one.
    void Tick()
    {
        timeMs += 20;
        std::int64_t time = static_cast<std::int64_t>(timeMs) * 10000;
        view->OnEngineTick(&time);
    }

    // Plays one segment, so that the stream takes the next block.
    void PullSegment()
    {
        std::vector<std::int16_t> out(kFramesPerSegment * 2);
        IDirectSound* sound = view->GetSoundDevice()->GetDirectSound();
        ASSERT_EQ(corvane::platform::PullMixedFrames(sound, out.data(), kFramesPerSegment), kFramesPerSegment);
    }

    // Tick, then let the segment play: every tick renders and is taken.
    void PlayTicks(int n)
    {
        for (int i = 0; i < n; ++i) {
            Tick();
            PullSegment();
        }
    }

    template <class T> T* Ctl(int id) const
    {
        T* control = view->GetControlAs<T>(id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    QSlider* Slider(int id) const { return Ctl<QSlider>(id); }
    QComboBox* List(int id) const { return Ctl<QComboBox>(id); }
    COrbRotaryKnob* Knob(int id) const { return Ctl<COrbRotaryKnob>(id); }
    std::string DisplayText(int id) const { return Ctl<CSegmentDisplay>(id)->GetText().toStdString(); }
    // What display `id` and the info field show, as "display | info".
    std::string Shown(int id) const { return DisplayText(id) + " | " + view->GetInfoText(); }

    // Turns a knob with the keyboard (Page Down/Up step 10) and lets its report arrive.
    void TurnKnob(int id, int pageSteps)
    {
        COrbRotaryKnob* knob = Knob(id);
        for (int i = 0; i < std::abs(pageSteps); ++i)
            QTest::keyClick(knob, pageSteps > 0 ? Qt::Key_PageDown : Qt::Key_PageUp);
        QCoreApplication::processEvents();
    }

    IDirectSoundBuffer* Buffer() const { return view->GetStream()->GetBuffer(); }
    LONG BufferVolume() const { LONG v = 1; Buffer()->GetVolume(&v); return v; }
    LONG BufferPan() const { LONG v = 1; Buffer()->GetPan(&v); return v; }
    DWORD BufferFrequency() const { DWORD v = 0; Buffer()->GetFrequency(&v); return v; }
    bool Playing() const { DWORD v = 0; Buffer()->GetStatus(&v); return v & DSBSTATUS_PLAYING; }
    bool Looping() const { DWORD v = 0; Buffer()->GetStatus(&v); return v & DSBSTATUS_LOOPING; }
    // The samples of segment `index` as the stream's buffer holds them.
    std::vector<std::int16_t> Segment(int index) const
    {
        LPVOID region = nullptr;
        DWORD bytes = 0;
        if (FAILED(Buffer()->Lock(DWORD(index * kSegmentBytes), kSegmentBytes, &region, &bytes, nullptr, nullptr, 0)))
            return {};
        std::vector<std::int16_t> samples(static_cast<const std::int16_t*>(region),
                                          static_cast<const std::int16_t*>(region) + bytes / 2);
        Buffer()->Unlock(region, 0, nullptr, 0);
        return samples;
    }

    std::unique_ptr<CCorvaneFormView> view;
    std::vector<std::string> messages;
    std::vector<std::string> debugLines;
    int timeMs = 0;
};

// The same without a sound device.
class PanelWithoutDevice : public PanelTest {
    void SetUp() override
    {
        corvane::platform::SetDirectSoundFactory([]() -> IDirectSound* { return nullptr; });
        PanelTest::SetUp();
    }
};
