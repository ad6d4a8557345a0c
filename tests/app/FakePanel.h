// A stand-in panel that records what the application asks of it.
#pragma once

#include "app/IPanelView.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace corvane::test {
class CFakePanel final : public IPanelView {
public:
    CFakePanel() : m_pWidget(new QWidget) { m_pWidget->setObjectName("FakePanel"); }
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

    int initialUpdates = 0;
    int loops = 0;
    int oneShots = 0;
    bool windowShownAtInitialUpdate = false;
    bool viewInFrameAtInitialUpdate = false;
    std::vector<std::int64_t> tickTimes;
    std::function<void()> onTick;

private:
    QPointer<QWidget> m_pWidget; // owned by the frame once shown there
};
} // namespace corvane::test
