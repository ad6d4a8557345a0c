// The export's writer thread: every chunk reaches the sink once, in order and as one call; a
// failing sink stops the render with its reason.
#include "app/export/CWriterThread.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CWriterThread, ChunksArriveInOrderAndAFailureIsReported)
{
    std::vector<std::int16_t> written;
    std::vector<std::int64_t> pushedSizes, writtenSizes;
    {
        CWriterThread thread(
            [&](const std::int16_t* samples, std::int64_t frames, QString*) {
                written.insert(written.end(), samples, samples + frames * 2);
                writtenSizes.push_back(frames);
                return true;
            },
            8, 2);
        // Many more chunks than fit the buffers, of varying length, each copied before Push returns.
        std::vector<std::int16_t> chunk(16);
        std::int16_t next = 0;
        for (int i = 0; i < 100; ++i) {
            const int frames = 1 + i % 8;
            for (int k = 0; k < frames * 2; ++k)
                chunk[k] = next++;
            QString error;
            ASSERT_TRUE(thread.Push(chunk.data(), frames, &error));
            pushedSizes.push_back(frames);
            chunk.assign(16, -1);
        }
        QString error;
        ASSERT_TRUE(thread.Finish(&error)); // also hands over the last, partly filled buffer
        EXPECT_EQ(writtenSizes, pushedSizes); // an encoder's output may depend on them
        ASSERT_EQ(written.size(), static_cast<std::size_t>(next));
        for (std::size_t i = 0; i < written.size(); ++i)
            ASSERT_EQ(written[i], static_cast<std::int16_t>(i)) << i;
    }

    int calls = 0;
    CWriterThread failing(
        [&](const std::int16_t*, std::int64_t, QString* pError) {
            *pError = QStringLiteral("disk full");
            return ++calls < 3;
        },
        4, 1);
    const std::int16_t samples[4] = {};
    QString error;
    bool pushed = true;
    for (int i = 0; i < 50 && pushed; ++i)
        pushed = failing.Push(samples, 4, &error);
    EXPECT_FALSE(pushed);
    EXPECT_EQ(error, QStringLiteral("disk full"));
    EXPECT_FALSE(failing.Finish(&error));
    EXPECT_EQ(calls, 3); // nothing is written after the failure
}
