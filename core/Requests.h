#pragma once
// Taking and raising requests between the two threads. A flag or a request
// code is cleared before its action runs, so a raise that comes during the
// action is kept for the next frame; the engine's own bookkeeping writes of
// the request slot only replace the value it expects, so a code the GUI wrote
// is never lost.

#include <atomic>

#include "core/WyrleGlobals.h"

namespace requests {

// GUI side: parameters first, then the request.
inline void raise(std::atomic<bool>& flag) { flag.store(true, std::memory_order_release); }
inline void raise(std::atomic<int>& flag, int value) { flag.store(value, std::memory_order_release); }
// The request slot holds one code; the last writer wins.
inline void request(int code) { f_workState.store(code, std::memory_order_release); }

// Engine side: true (or the raised value) when the request was up.
inline bool take(std::atomic<bool>& flag) { return flag.exchange(false, std::memory_order_acq_rel); }
inline int take(std::atomic<int>& flag) { return flag.exchange(0, std::memory_order_acq_rel); }

inline int workState() { return f_workState.load(std::memory_order_acquire); }

// The engine's writes of the slot: `from` becomes `to` only while the slot
// still holds `from`. Returns whether it did.
inline bool moveWorkState(int from, int to) {
    return f_workState.compare_exchange_strong(from, to, std::memory_order_acq_rel);
}

// Stroke or pan start: 0 becomes 10; a pending code stays in place.
inline bool beginStroke() { return moveWorkState(kWorkIdle, kWorkStroke) || workState() == kWorkStroke; }
inline void endStroke() { moveWorkState(kWorkStroke, kWorkIdle); }
// Takes `code` from the slot when it is there, leaving the slot idle before
// the action runs: the same code written during the action waits for the
// next frame instead of being cleared with this one.
inline bool takeCode(int code) { return moveWorkState(code, kWorkIdle); }

}  // namespace requests
