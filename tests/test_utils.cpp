#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "framework/ofUtils.h"
#include "platform/win32.h"

namespace {

// Captures what a call prints on standard output.
template <class F>
std::string captureStdout(F fn) {
    std::fflush(stdout);
    char path[] = "/tmp/wyrle-stdout-XXXXXX";
    int fd = mkstemp(path);
    int saved = dup(1);
    dup2(fd, 1);
    fn();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out;
    char buf[512];
    lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    close(fd);
    unlink(path);
    return out;
}

}  // namespace

TEST(DataPath, PrefixRule) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"x.png", "data/x.png"},
        {"data/x.png", "data/x.png"},
        {"D:x.png", "D:x.png"},
        {"C:\\pictures\\a.png", "C:\\pictures\\a.png"},
        {"/abs/a.png", "/abs/a.png"},
        {"Data/a.png", "data/Data/a.png"},
        {"\\Gradients\\a.png", "data/\\Gradients\\a.png"},
        {"", "data/"},
        {"a", "data/a"},
        {"data", "data/data"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ofToDataPath(c.in), c.out) << "for \"" << c.in << "\"";
}

TEST(DataPath, DisabledLeavesNamesAlone) {
    ofDisableDataPath();
    EXPECT_EQ(ofToDataPath("x.png"), "x.png");
    ofEnableDataPath();
    EXPECT_EQ(ofToDataPath("x.png"), "data/x.png");
}

TEST(DataPath, AbsoluteUsesWorkingFolder) {
    char cwd[1024];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(ofToDataPath("x.png", true), std::string(cwd) + "/data/x.png");
    EXPECT_EQ(ofToDataPath("/abs/x.png", true), "/abs/x.png");
}

TEST(SplitString, Tokens) {
    using V = std::vector<std::string>;
    EXPECT_EQ(ofSplitString("bRGB 12 34 56", " "), (V{"bRGB", "12", "34", "56"}));
    EXPECT_EQ(ofSplitString("  one  two ", " "), (V{"one", "two"}));
    EXPECT_EQ(ofSplitString("", " "), V{});
    EXPECT_EQ(ofSplitString("   ", " "), V{});
    EXPECT_EQ(ofSplitString("a,b x", ", "), (V{"a", "b", "x"}));
    EXPECT_EQ(ofSplitString("V|150|G", "|"), (V{"V", "150", "G"}));
    EXPECT_EQ(ofSplitString("whole text", ""), V{"whole text"});
}

TEST(TextNumbers, Conversions) {
    EXPECT_EQ(ofToInt("12abc"), 12);
    EXPECT_EQ(ofToInt(" -7"), -7);
    EXPECT_EQ(ofToInt("0x1F"), 0);
    EXPECT_EQ(ofToInt("abc"), 0);
    EXPECT_EQ(ofToInt(""), 0);
    // Out-of-range digits saturate instead of wrapping.
    EXPECT_EQ(ofToInt("99999999999"), 2147483647);
    EXPECT_EQ(ofToInt("-99999999999"), -2147483647 - 1);
    EXPECT_FLOAT_EQ(ofToFloat("2.5x"), 2.5f);
    EXPECT_FLOAT_EQ(ofToFloat("nothing"), 0.0f);
    EXPECT_EQ(ofToString(-12), "-12");
    EXPECT_EQ(ofToString(3.14159, 2), "3.14");
    EXPECT_EQ(ofToString(2.0, 0), "2");
}

TEST(Log, LevelsAndPrefixes) {
    ASSERT_EQ(ofGetLogLevel(), OF_LOG_WARNING);
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_NOTICE, "hidden"); }), "");
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_VERBOSE, std::string("hidden")); }), "");
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_WARNING, "w %d", 3); }), "OF_WARNING: w 3\n");
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_ERROR, "e"); }), "OF_ERROR: e\n");
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_FATAL_ERROR, "f"); }), "OF_FATAL_ERROR: f\n");
    EXPECT_EQ(captureStdout([] { ofLog(5, "plain"); }), "plain\n");
    // Runtime text is printed as it stands, never read as a format.
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_ERROR, std::string("100%s %n done")); }),
              "OF_ERROR: 100%s %n done\n");
    ofSetLogLevel(OF_LOG_VERBOSE);
    EXPECT_EQ(captureStdout([] { ofLog(OF_LOG_VERBOSE, "v"); }), "OF_VERBOSE: v\n");
    ofSetLogLevel(OF_LOG_WARNING);
}

namespace {
std::vector<std::string> launched;
bool recordLaunch(const char* const* argv) {
    launched.clear();
    for (const char* const* a = argv; *a; ++a)
        launched.push_back(*a);
    return true;
}
}  // namespace

TEST(LaunchBrowser, OnlyPlainHttpIsOpened) {
    platform::setLauncher(recordLaunch);
    for (const char* url : {"HTTP://example.org", "https://example.org", "http:/", "ftp://x"}) {
        launched.clear();
        std::string out = captureStdout([url] { ofLaunchBrowser(url); });
        EXPECT_EQ(out, "OF_WARNING: ofLaunchBrowser: url must begin http://\n") << url;
        EXPECT_TRUE(launched.empty()) << url;
    }
    // The address is one argument of xdg-open, with no shell in between.
    ofLaunchBrowser("http://example.org/a b;rm -rf ~");
    EXPECT_EQ(launched, (std::vector<std::string>{"xdg-open", "http://example.org/a b;rm -rf ~"}));
    platform::setLauncher(nullptr);
}

TEST(LaunchDetached, StartsWithoutWaitingAndReportsMissingPrograms) {
    const char* ok[] = {"true", nullptr};
    EXPECT_TRUE(platform::launchDetached(ok));
    const char* missing[] = {"wyrle-no-such-program", nullptr};
    EXPECT_FALSE(platform::launchDetached(missing));
}

namespace {
uint32_t fakeNow = 0;
uint32_t fakeClock() { return fakeNow; }
}  // namespace

TEST(ElapsedTime, CountsFromTheResetAcrossWrap) {
    platform::setClock(fakeClock);
    fakeNow = 0xFFFFFF00u;  // just before the 32-bit count wraps
    ofResetElapsedTimeCounter();
    fakeNow += 500;
    EXPECT_EQ(ofGetElapsedTimeMillis(), 500);
    EXPECT_FLOAT_EQ(ofGetElapsedTimef(), 0.5f);
    platform::setClock(nullptr);
}

TEST(DateFunctions, MatchTheLocalCalendar) {
    // Read against strftime's fields, which are 1-based for the month and
    // 0 = Sunday for the weekday; retried when a second passes mid-read.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const std::vector<int> got = {ofGetYear(),  ofGetMonth(),   ofGetDay(),    ofGetWeekday(),
                                      ofGetHours(), ofGetMinutes(), ofGetSeconds()};
        if (std::time(nullptr) != before)
            continue;
        std::tm local{};
        localtime_r(&before, &local);
        char text[64];
        std::strftime(text, sizeof text, "%Y %m %d %w %H %M %S", &local);
        std::vector<int> want(7);
        std::sscanf(text, "%d %d %d %d %d %d %d", &want[0], &want[1], &want[2], &want[3], &want[4], &want[5],
                    &want[6]);
        EXPECT_EQ(got, want) << "strftime says " << text;
        return;
    }
    FAIL() << "the clock never held still for a read";
}
