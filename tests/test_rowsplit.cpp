// Rows shared out over the worker threads: every row once, whatever the
// length of the run, also when two threads hand out work at once.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/pixels/rowsplit.h"

namespace {

// How often each row of [0, size) was visited by one forRows call.
std::vector<int> visits(int begin, int end, int size) {
    std::vector<std::atomic<int>> count(static_cast<size_t>(size));
    for (auto& c : count) c = 0;
    rowsplit::forRows(begin, end, [&](int from, int to) {
        EXPECT_LE(begin, from);
        EXPECT_LE(to, end);
        for (int y = from; y < to; ++y) ++count[static_cast<size_t>(y)];
    });
    std::vector<int> out;
    for (auto& c : count) out.push_back(c.load());
    return out;
}

}  // namespace

TEST(RowSplit, EveryRowRunsExactlyOnce) {
    ASSERT_GE(rowsplit::threads(), 1);
    struct Case {
        int begin, end;
    };
    // Empty, shorter than the number of slices, uneven, long.
    const Case cases[] = {{0, 0}, {5, 4}, {3, 4}, {0, 2}, {0, 3}, {2, 9}, {0, 1057}, {100, 1200}};
    for (int round = 0; round < 50; ++round) {
        for (const Case& c : cases) {
            const std::vector<int> v = visits(c.begin, c.end, 1300);
            for (int y = 0; y < 1300; ++y) {
                ASSERT_EQ(v[static_cast<size_t>(y)], y >= c.begin && y < c.end ? 1 : 0)
                    << "row " << y << " of " << c.begin << ".." << c.end;
            }
        }
    }
}

TEST(RowSplit, CallersOnSeveralThreadsEachGetTheirWholeRun) {
    std::vector<std::thread> callers;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 3; ++t) {
        callers.emplace_back([&wrong, t] {
            for (int round = 0; round < 200; ++round) {
                const int end = 50 + 37 * t + round;
                const std::vector<int> v = visits(t, end, 400);
                for (int y = 0; y < 400; ++y)
                    if (v[static_cast<size_t>(y)] != (y >= t && y < end ? 1 : 0)) ++wrong;
            }
        });
    }
    for (std::thread& c : callers) c.join();
    EXPECT_EQ(wrong.load(), 0);
}
