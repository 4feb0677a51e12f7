#include "controls/ButtonFace.h"

#include <gtest/gtest.h>

TEST(ButtonFace, Smoke) { EXPECT_EQ(ColorToARGB(0x0000FF), 0xFFFF0000u); }
