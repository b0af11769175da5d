// The Preferences dialog's figures, without a window.

#include <gtest/gtest.h>

#include "gui/model/PreferencesModel.h"

TEST(PreferencesModel, UndoStepsAreHalfTheRingLessOne) {
    const struct { int undoMax, steps; } cases[] = {
        {201, 100}, {3, 1}, {0, 0}, {1, 0}, {93, 46}, {17, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(preferences::undoSteps(c.undoMax), c.steps) << c.undoMax;
}

TEST(PreferencesModel, SliderStandsAtItsNearestEndForStoredValuesOutsideItsRange) {
    const struct { int percent, position; } cases[] = {
        {30, 30}, {10, 10}, {90, 90}, {9, 10}, {91, 90}, {200, 90}, {-5, 10}, {0, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(preferences::sliderPosition(c.percent), c.position) << c.percent;
}
