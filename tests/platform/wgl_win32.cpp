// The Windows backend's reading of a driver's extension list: a name counts only as a
// whole word, as the driver lists it.
#include <gtest/gtest.h>

#include "platform/win32/win32_internal.h"

namespace {

TEST(WglExtensions, OnlyWholeNamesCount) {
    using platform::win32::ListsExtension;
    const char* list = "WGL_ARB_extensions_string WGL_EXT_swap_control_tear WGL_ARB_pixel_format";
    EXPECT_FALSE(ListsExtension(list, "WGL_EXT_swap_control"));  // a longer name only
    EXPECT_FALSE(ListsExtension("XWGL_EXT_swap_control", "WGL_EXT_swap_control"));
    EXPECT_TRUE(ListsExtension(list, "WGL_ARB_extensions_string"));  // first
    EXPECT_TRUE(ListsExtension(list, "WGL_ARB_pixel_format"));       // last
    EXPECT_TRUE(
        ListsExtension("WGL_EXT_swap_control_tear WGL_EXT_swap_control ", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ListsExtension("", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ListsExtension(nullptr, "WGL_EXT_swap_control"));
}

}  // namespace
