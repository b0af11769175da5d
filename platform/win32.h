#pragma once
// Stand-ins for the few Windows calls the framework and engine lean on.

#include <cstdint>

// Sleeps for `ms` milliseconds; 0 yields the processor.
void Sleep(uint32_t ms);
// Milliseconds of a monotonic clock, as a wrapping 32-bit count.
uint32_t GetTickCount();
uint32_t timeGetTime();

namespace platform {

// The window sizing-frame width. GTK has no such metric; 4 makes both
// borders of the drawing window 0.
int frameMetricX();

// Replaceable for tests: the millisecond clock behind GetTickCount and
// timeGetTime (null restores the real one).
using Clock = uint32_t (*)();
void setClock(Clock clock);

// Starts `argv[0]` with the given arguments (no shell), without waiting.
// Returns false when the program could not be started.
bool launchDetached(const char* const* argv);

// Replaceable for tests: what launchDetached really does.
using Launcher = bool (*)(const char* const* argv);
void setLauncher(Launcher launcher);

// Console text attribute as on Windows (1 blue, 2 green, 4 red, 8 bright);
// written as ANSI codes when standard output is a terminal, else nothing.
void setConsoleAttribute(int attribute);

}  // namespace platform
