#include "controls/SystemColors.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemColors, StandardSchemeAndBlackOutsideTheTable)
{
    EXPECT_EQ(platform::systemColor(15), 0xF0F0F0u); // button face
    EXPECT_EQ(platform::systemColor(5), 0xFFFFFFu);  // window
    EXPECT_EQ(platform::systemColor(8), 0x000000u);  // window text
    EXPECT_EQ(platform::systemColor(-1), 0u);
    EXPECT_EQ(platform::systemColor(31), 0u);
}

} // namespace
