#pragma once
// A stack of colours with a fixed capacity. The gradient pictures collect
// the enabled stops' colours in one and read `items` and `counter` directly.

#include <wx/colour.h>

class wxColorStack {
public:
    explicit wxColorStack(int max_size);
    virtual ~wxColorStack();
    wxColorStack(const wxColorStack&) = delete;
    wxColorStack& operator=(const wxColorStack&) = delete;

    // Stores the colour while there is room; a full stack ignores it.
    void push(const wxColour& colour);
    // The colour on top, taken off; opaque white when the stack is empty.
    wxColour pop();
    bool is_empty() const;

    wxColour* items;
    int counter;
    int max_size;
};
