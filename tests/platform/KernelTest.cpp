// The kernel stand-ins where they meet the edge of the address range.
#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Kernel, VirtualAllocRefusesSizesThatWouldWrapAndZeroesWhatItGives)
{
    // Within a page of SIZE_MAX, rounding up to whole pages would wrap to a tiny block.
    for (std::size_t size : {SIZE_MAX, SIZE_MAX - 1, SIZE_MAX - 100, std::size_t{0}})
        EXPECT_EQ(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE), nullptr) << size;
    auto* p = static_cast<unsigned char*>(VirtualAlloc(nullptr, 5000, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(p[i], 0) << i;
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
}
