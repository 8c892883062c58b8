// The prefix has the look its test run is named for (DORRIK_LOOK, set by CTest): the classic run
// proves nothing about the classic look if its prefix has the visual style on after all.
#include <gtest/gtest.h>
#include <windows.h>

#include <uxtheme.h>

#include <cstdlib>
#include <string>

TEST(PrefixLook, VisualStyleIsOnOnlyWhereTheRunSaysSo) {
    const char* look = std::getenv("DORRIK_LOOK");
    if (look == nullptr) {
        GTEST_SKIP() << "DORRIK_LOOK is not set: the program was started outside CTest";
    }
    const std::string name = look;
    ASSERT_TRUE(name == "styled" || name == "classic") << "DORRIK_LOOK=" << name;
    EXPECT_EQ(IsThemeActive() != FALSE, name == "styled")
        << "the prefix of the " << name << " run has the visual style "
        << (IsThemeActive() ? "on" : "off");
}
