#include <gtest/gtest.h>
#include "host/session_string.h"
TEST(SessionString, BracedValue) {
    auto p = orva::ParseSessionString("K={a;b=c};X=1");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].second, "a;b=c");
    EXPECT_EQ(p[1].second, "1");
}
