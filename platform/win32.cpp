#include "platform/win32.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

extern char** environ;

void Sleep(uint32_t ms) {
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace {

uint32_t steadyMillis() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::atomic<platform::Clock> gClock{steadyMillis};

}  // namespace

uint32_t GetTickCount() {
    return gClock.load(std::memory_order_relaxed)();
}

uint32_t timeGetTime() {
    return GetTickCount();
}

namespace platform {
namespace {

bool spawnLauncher(const char* const* argv) {
    if (!argv || !argv[0])
        return false;
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ);
    if (rc != 0)
        return false;
    // Reap the child when it ends, so no zombie is left; nobody waits on it.
    std::thread([pid]() {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

Launcher gLauncher = spawnLauncher;

}  // namespace

void setClock(Clock clock) {
    gClock.store(clock ? clock : steadyMillis);
}

int frameMetricX() {
    return 4;
}

bool launchDetached(const char* const* argv) {
    return gLauncher(argv);
}

void setLauncher(Launcher launcher) {
    gLauncher = launcher ? launcher : spawnLauncher;
}

void setConsoleAttribute(int attribute) {
    if (!isatty(STDOUT_FILENO))
        return;
    if (attribute == 7) {
        std::fputs("\033[0m", stdout);
        return;
    }
    // Windows bits 1 blue, 2 green, 4 red map onto ANSI's 1 red, 2 green, 4 blue.
    int ansi = ((attribute & 4) ? 1 : 0) | ((attribute & 2) ? 2 : 0) | ((attribute & 1) ? 4 : 0);
    std::printf("\033[%d;%dm", (attribute & 8) ? 1 : 22, 30 + ansi);
}

}  // namespace platform
