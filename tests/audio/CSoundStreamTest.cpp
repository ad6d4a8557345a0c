// The streaming buffer: segment-wise writing, play modes, clamps and its failure paths.
#include "audio/CSoundStream.h"
#include "tests/audio/FaultySound.h"
#include "tests/audio/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvane::test;

TEST(CSoundStream, WriteTakesOneBlockPerSegmentTheCursorEnters)
{
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->SetPlayMode(2), DS_OK);
    EXPECT_EQ(s->Write(Block(100).data()), kSegmentBytes);
    EXPECT_EQ(rig.Segment(0), Block(100));
    EXPECT_EQ(s->Write(Block(200).data()), 0u);
    rig.Advance(800); // cursor at byte 1600, still in segment 0
    EXPECT_EQ(s->Write(Block(200).data()), 0u);
    rig.Advance(82); // byte 1764: segment 1
    EXPECT_EQ(s->Write(Block(200).data()), kSegmentBytes);
    EXPECT_EQ(rig.Segment(1), Block(200));
    EXPECT_EQ(rig.Segment(0), Block(100));
    EXPECT_EQ(rig.Segment(2), Block(0));
}

TEST(CSoundStream, PreviousIndexIsAddedUnscaled)
{
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    s->SetPlayMode(2);
    rig.MoveCursor(3 * kSegmentBytes);
    ASSERT_EQ(s->Write(Block(3).data()), kSegmentBytes);
    // (7054 + 3) / 1764 = 4: segment 4 is taken 2 bytes before the cursor reaches it.
    rig.MoveCursor(7054);
    EXPECT_EQ(s->Write(Block(4).data()), kSegmentBytes);
    EXPECT_EQ(rig.Segment(4), Block(4));
    EXPECT_EQ(rig.Segment(3), Block(3));

    rig.MoveCursor(7 * kSegmentBytes);
    ASSERT_EQ(s->Write(Block(7).data()), kSegmentBytes);
    // (14110 + 7) / 1764 = 8, which wraps to segment 0.
    rig.MoveCursor(14110);
    EXPECT_EQ(s->Write(Block(8).data()), kSegmentBytes);
    EXPECT_EQ(rig.Segment(0), Block(8));
    EXPECT_EQ(rig.Segment(7), Block(7));
}

TEST(CSoundStream, StoppedStreamRefusesOnceItsSegmentIsWritten)
{
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    rig.MoveCursor(2 * kSegmentBytes + 10);
    EXPECT_EQ(s->Write(Block(1).data()), kSegmentBytes);
    EXPECT_EQ(rig.Segment(2), Block(1));
    for (int tick = 0; tick < 20; ++tick) {
        rig.Advance(882);
        EXPECT_EQ(s->Write(Block(2).data()), 0u);
    }
    EXPECT_EQ(rig.Cursor(), 2 * kSegmentBytes + 10);
}

TEST(CSoundStream, PlayStopAndSetStopped)
{
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    // A stream that never played leaves the buffer alone on Stop.
    rig.Buffer()->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(s->Stop(), 0);
    EXPECT_TRUE(rig.Playing());
    rig.Buffer()->Stop();

    ASSERT_EQ(s->SetPlayMode(2), DS_OK);
    rig.Advance(3000);
    EXPECT_EQ(rig.Cursor(), 6000u);
    EXPECT_EQ(s->Play(), DS_OK); // a playing stream starts again at the beginning
    EXPECT_EQ(rig.Cursor(), 0u);

    rig.Advance(3000);
    EXPECT_EQ(s->SetStopped(1), DS_OK);
    EXPECT_FALSE(rig.Playing());
    rig.Advance(500);
    EXPECT_EQ(rig.Cursor(), 6000u);
    EXPECT_EQ(s->SetStopped(0), DS_OK); // goes on from the cursor, still looping
    EXPECT_EQ(rig.Cursor(), 6000u);
    rig.Advance(7056);
    EXPECT_EQ(rig.Cursor(), 6000u);
    EXPECT_TRUE(rig.Playing());
}

TEST(CSoundStream, OneShotPlaysToTheEndThenWriteRefuses)
{
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    ASSERT_EQ(s->SetPlayMode(1), DS_OK);
    int taken = 0;
    for (int tick = 0; tick < 8; ++tick) { // the render cycle keeping up with the cursor
        taken += s->Write(Block(static_cast<std::int16_t>(tick + 1)).data()) != 0;
        rig.Advance(882);
    }
    EXPECT_EQ(taken, 8);
    EXPECT_FALSE(rig.Playing());
    EXPECT_EQ(rig.Cursor(), kStreamSamples * 2);
    int late = 0;
    for (int tick = 0; tick < 20; ++tick) {
        late += s->Write(Block(9).data()) != 0;
        rig.Advance(882);
    }
    EXPECT_LE(late, 1);
    EXPECT_EQ(s->Write(Block(9).data()), 0u);
    // Selecting one-shot again plays the buffer once more from its start.
    ASSERT_EQ(s->SetPlayMode(1), DS_OK);
    EXPECT_TRUE(rig.Playing());
    EXPECT_EQ(rig.Cursor(), 0u);
}

TEST(CSoundStream, VolumeAndFrequencyAreClampedPanOutOfRangeIsRejected)
{
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    IDirectSoundBuffer* b = rig.Buffer();
    LONG v = 0;
    DWORD f = 0;
    EXPECT_EQ(s->SetVolume(-1234), 1);
    EXPECT_EQ(s->SetVolume(500), 1);
    b->GetVolume(&v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(s->SetVolume(-20000), 1);
    b->GetVolume(&v);
    EXPECT_EQ(v, -10000);

    const std::pair<float, DWORD> rates[] = {{1.0f, 44100}, {0.001f, 100},     {3.0f, 100000},
                                             {0.5f, 22050}, {1e30f, 100000},   {-4.0f, 100},
                                             {std::numeric_limits<float>::infinity(), 100000}};
    for (auto [ratio, hz] : rates) {
        EXPECT_EQ(s->SetFrequency(ratio), 1) << ratio;
        b->GetFrequency(&f);
        EXPECT_EQ(f, hz) << ratio;
    }
    EXPECT_EQ(s->SetFrequency(std::nanf("")), 0);
    b->GetFrequency(&f);
    EXPECT_EQ(f, 100000u);

    EXPECT_EQ(s->SetPan(-0.5f), 1);
    b->GetPan(&v);
    EXPECT_EQ(v, -5000);
    EXPECT_EQ(s->SetPan(1.00005f), 1); // 10000.5 truncates into range
    EXPECT_EQ(s->SetPan(1.5f), 0);
    EXPECT_EQ(s->SetPan(-1e20f), 0);
    EXPECT_EQ(s->SetPan(std::nanf("")), 0);
    b->GetPan(&v);
    EXPECT_EQ(v, 10000);
}

TEST(CSoundStream, StreamWithoutBufferRefusesEverything)
{
    CSoundStream s;
    const auto block = Block(1);
    EXPECT_EQ(s.IsValid(), 0);
    EXPECT_EQ(s.Write(block.data()), 0u);
    EXPECT_EQ(s.SetVolume(0), 0);
    EXPECT_EQ(s.SetPan(0.0f), 0);
    EXPECT_EQ(s.SetFrequency(1.0f), 0);
    EXPECT_EQ(s.Play(), E_FAIL);
    EXPECT_EQ(s.Stop(), E_FAIL);
    EXPECT_EQ(s.SetPlayMode(2), E_FAIL);
    EXPECT_EQ(s.CreateBuffer(nullptr), 0);
}

TEST(CSoundStream, FailedPositionQueryAndFailedLock)
{
    FaultPlan plan;
    FaultySoundScope faults(plan);
    StreamRig rig;
    CSoundStream* s = rig.Stream();
    ASSERT_NE(s, nullptr);
    s->SetPlayMode(2);

    plan.failPosition = true;
    EXPECT_EQ(s->Write(Block(1).data()), 0u);
    plan.failPosition = false;
    // The failed query changed nothing: segment 0 is still free.
    EXPECT_EQ(s->Write(Block(1).data()), kSegmentBytes);

    rig.MoveCursor(kSegmentBytes);
    plan.failLock = true;
    EXPECT_EQ(s->Write(Block(2).data()), 0u);
    plan.failLock = false;
    EXPECT_EQ(s->Write(Block(2).data()), 0u); // segment 1 counts as written
    EXPECT_EQ(rig.Segment(1), Block(0));
    rig.MoveCursor(2 * kSegmentBytes);
    EXPECT_EQ(s->Write(Block(2).data()), kSegmentBytes); // the block goes to the next one
    EXPECT_EQ(rig.Segment(2), Block(2));
}
