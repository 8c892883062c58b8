#include <gtest/gtest.h>

#include "core/attach.h"
#include "dorrik_skin.h"

TEST(Attach, NullHandle) { EXPECT_EQ(0, AttachSkin(nullptr)); }
