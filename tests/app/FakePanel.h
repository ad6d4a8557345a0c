// A stand-in panel that records what the application asks of it.
#pragma once

#include "app/IPanelView.h"

#include <QPointer>
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

    int initialUpdates = 0, loops = 0, oneShots = 0;
    bool windowShownAtInitialUpdate = false, viewInFrameAtInitialUpdate = false;
    std::vector<std::int64_t> tickTimes;
    std::vector<std::pair<bool, double>> fades;
    std::function<void()> onTick;
    QPointer<QWidget> m_pWidget = new QWidget; // owned by the frame once shown there
};
} // namespace corvane::test
