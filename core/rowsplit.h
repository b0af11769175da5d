#pragma once
// Splits a run of rows over a few worker threads that live as long as the
// program, so a large redraw uses more than one core without starting a
// thread per frame. Plain C++: no wx, no GL.

#include <functional>

namespace rowsplit {

// job(from, to) for consecutive slices of [begin, end), at most one slice
// per thread; one slice runs on the calling thread. Returns when every
// slice is done. Slices must touch disjoint data. Calls from several
// threads take turns. The workers start at the first call.
void forRows(int begin, int end, const std::function<void(int, int)>& job);

// How many slices forRows makes of a long run (1 on a single core).
int slices();

}  // namespace rowsplit
