#include "SkinTestSupport.h"
TEST(Dummy, Builds) { NaviBitmap b(4, 4, 8); EXPECT_EQ(b.GetBpp(), 8); }
