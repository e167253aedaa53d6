#include <gtest/gtest.h>

#include "common/Version.h"

TEST(Version, AboutBoxShowsMajorDotMinor) { EXPECT_EQ(quelvar::VersionText(), "2.5"); }
