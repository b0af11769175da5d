// The gradient tool's colour stack, a wx class that needs no window.

#include <gtest/gtest.h>

#include "gui/wxColorStack.h"

TEST(ColorStack, PushesUpToItsCapacityAndPopsWhiteWhenEmpty) {
    wxColorStack stack(2);
    EXPECT_TRUE(stack.is_empty());
    EXPECT_EQ(stack.pop(), wxColour(255, 255, 255, 255));
    EXPECT_EQ(stack.counter, 0);
    stack.push(wxColour(1, 2, 3));
    stack.push(wxColour(4, 5, 6));
    stack.push(wxColour(7, 8, 9));  // full: refused
    EXPECT_EQ(stack.counter, 2);
    EXPECT_EQ(stack.items[0], wxColour(1, 2, 3));
    EXPECT_EQ(stack.pop(), wxColour(4, 5, 6));
    EXPECT_EQ(stack.pop(), wxColour(1, 2, 3));
    EXPECT_TRUE(stack.is_empty());
}
