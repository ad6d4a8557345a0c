// A stand-in panel that records what the application asks of it.
#pragma once

#include "app/IPanelView.h"

#include <QPointer>
#include <QSlider>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace corvane::test {
struct CFakePanel final : IPanelView {
    QWidget* Widget() override { return m_pWidget; }
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        windowShownAtInitialUpdate = m_pWidget->window()->isVisible();
        viewInFrameAtInitialUpdate = m_pWidget->parentWidget() != nullptr;
    }
    int OnEngineTick(std::int64_t* pTime) override
    {
        tickTimes.push_back(*pTime);
        if (onTick)
            onTick();
        return 0;
    }
    void OnSoundLoop() override { ++loops; }
    void OnSoundOneShot() override { ++oneShots; }
    void FadeOutput(bool unity, double seconds) override { fades.push_back({unity, seconds}); }
    CExportOptions CaptureSound() override { return sound; }
    QStringList ApplySound(const CExportOptions& applied) override
    {
        sound = applied;
        ++applies;
        return {};
    }

    int initialUpdates = 0, loops = 0, oneShots = 0, applies = 0;
    CExportOptions sound; // what Save captures and Open applied
    bool windowShownAtInitialUpdate = false, viewInFrameAtInitialUpdate = false;
    std::vector<std::int64_t> tickTimes;
    std::vector<std::pair<bool, double>> fades;
    std::function<void()> onTick;
    QPointer<QWidget> m_pWidget = new QWidget; // owned by the frame once shown there
    QSlider* slider = new QSlider(m_pWidget);  // a control the user can change
};
} // namespace corvane::test
