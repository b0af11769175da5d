#pragma once
// Splits a run of rows over a few worker threads that live as long as the
// program, so a large redraw uses more than one core without starting a
// thread per frame. Plain C++: no wx, no GL.

#include <functional>

namespace rowsplit {

// job(from, to) for consecutive chunks that together cover [begin, end)
// once each. The calling thread takes chunks too, so on a busy machine,
// where the workers wake late, it does the work itself rather than wait
// for them. Returns when every chunk is done. Chunks must touch disjoint
// data. Calls from several threads take turns. The workers start at the
// first call.
void forRows(int begin, int end, const std::function<void(int, int)>& job);

// How many threads share a long run (1 on a single core).
int threads();

}  // namespace rowsplit
