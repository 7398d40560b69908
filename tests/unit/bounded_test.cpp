// Paths joined into fixed buffers: whole or not at all.
#include "common/bounded.h"

#include <gtest/gtest.h>

TEST(JoinPath, AJoinThatFitsIsWholeAndOneThatDoesNotLeavesNothing) {
    char path[17];
    EXPECT_TRUE(JoinPath(path, "C:\\WINDOWS\\", "A.INI"));
    EXPECT_STREQ(path, "C:\\WINDOWS\\A.INI"); // 16 characters and the NUL: an exact fit
    EXPECT_FALSE(JoinPath(path, "C:\\WINDOWS\\", "AB.INI"));
    EXPECT_STREQ(path, ""); // never "C:\WINDOWS\AB.IN", a name of another file
    char empty[1];
    EXPECT_TRUE(JoinPath(empty, "", nullptr));
    EXPECT_FALSE(JoinPath(empty, "x"));
}

TEST(JoinPath, APathGrowsInPlace) {
    char dir[16] = "C:\\TARNO";
    EXPECT_TRUE(JoinPath(dir, dir, "\\", "BIN\\"));
    EXPECT_STREQ(dir, "C:\\TARNO\\BIN\\");
    EXPECT_FALSE(JoinPath(dir, dir, "LONGER"));
    EXPECT_STREQ(dir, "");
}
