#include "gui/wxColorStack.h"

wxColorStack::wxColorStack(int max_size)
    : items(new wxColour[max_size > 0 ? max_size : 0]), counter(0), max_size(max_size > 0 ? max_size : 0) {}

wxColorStack::~wxColorStack() { delete[] items; }

void wxColorStack::push(const wxColour& colour) {
    if (counter < max_size)
        items[counter++] = colour;
}

wxColour wxColorStack::pop() {
    if (counter == 0)
        return wxColour(255, 255, 255, 255);
    return items[--counter];
}

bool wxColorStack::is_empty() const { return counter == 0; }
