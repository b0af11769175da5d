#include "gui/model/PreferencesModel.h"

#include <algorithm>

namespace preferences {

int undoSteps(int undoMax) { return (undoMax - 1) / 2; }

int sliderPosition(int percent) { return std::min(kSliderMax, std::max(kSliderMin, percent)); }

}  // namespace preferences
