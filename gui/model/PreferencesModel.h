#pragma once
// What the Preferences dialog shows for the undo ring. Plain C++: no wx, no
// globals.

namespace preferences {

// The slider's range.
constexpr int kSliderMin = 10;
constexpr int kSliderMax = 90;

// Undo steps a ring of `undoMax` slots gives: each step takes two slots.
// 0 before any canvas has been set up.
int undoSteps(int undoMax);

// Where the slider stands for a stored per cent: its nearest end when the
// file holds a value outside the slider's range.
int sliderPosition(int percent);

}  // namespace preferences
