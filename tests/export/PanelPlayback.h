// A panel played as the live program's clock would, independently of the export's own loop:
// one tick per 20 ms block, each followed by a pull of 882 mixed frames.
#pragma once

#include "app/export/CHeadlessPanel.h"
#include "panel/CCorvaneFormView.h"
#include "platform/dsound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct PanelPlayback {
    CHeadlessPanel headless;
    int channels;
    bool created = false;
    std::vector<std::int16_t> blocks; // the 16-bit blocks the panel handed over
    std::vector<std::int16_t> mixed;  // what the mixer made of them, interleaved
    std::int64_t time = 0;

    // A 44100 Hz panel with start-up settings.
    explicit PanelPlayback(int channelCount) : channels(channelCount)
    {
        QString error;
        created = headless.Create(44100, channels, &error);
        EXPECT_TRUE(created) << error.toStdString();
    }
    CCorvaneFormView& Panel() const { return headless.Panel(); }

    // Plays `count` blocks; how many of them the stream took.
    int Play(int count)
    {
        std::vector<std::int16_t> frames(static_cast<std::size_t>(882 * channels));
        int accepted = 0;
        for (int b = 0; created && b < count; ++b) {
            Panel().OnEngineTick(&(time += 200000));
            accepted += Panel().IsStreamAccepted();
            blocks.insert(blocks.end(), Panel().GetPcmBlock(), Panel().GetPcmBlock() + 882);
            corvane::platform::PullMixedFrames(headless.Device(), frames.data(), 882);
            mixed.insert(mixed.end(), frames.begin(), frames.end());
        }
        return accepted;
    }
};
