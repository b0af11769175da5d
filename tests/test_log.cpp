#include "services/Log.h"
#include "tests/services_fixture.h"

#include <climits>
#include <functional>

using svctest::TempDir;
using svctest::readFile;

TEST(Log, SwitchedOffCreatesNothingAndLeavesExistingFileAlone) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string fresh = tmp.path("fresh.log");
    const std::string old = tmp.path("old.log");
    ASSERT_TRUE(svctest::writeFile(old, "previous run\n"));
    {
        Log a(fresh.c_str(), false);
        Log b(old.c_str(), false);
        a.log("abc");
        a.log("x", 5);
        b.log(3.5f);
    }
    EXPECT_FALSE(svctest::exists(fresh));
    EXPECT_EQ(readFile(old), "previous run\n");
}

TEST(Log, LineFormats) {
    struct Case {
        const char* name;
        std::function<void(Log&)> write;
        const char* expected;
    };
    const Case cases[] = {
        {"text", [](Log& l) { l.log("abc"); }, "abc \n"},
        {"string", [](Log& l) { l.log(std::string("abc")); }, "abc \n"},
        {"label text", [](Log& l) { l.log("file", "a.png"); }, "file: a.png \n"},
        {"label int", [](Log& l) { l.log(std::string("x"), 5); }, "x: 5\n"},
        {"label zero", [](Log& l) { l.log("x", 0); }, "x: 0\n"},
        {"int", [](Log& l) { l.log(-7); }, "-7 \n"},
        {"unsigned", [](Log& l) { l.log(2147483648u); }, "2147483648 \n"},
        {"unsigned max", [](Log& l) { l.log(UINT_MAX); }, "4294967295 \n"},
        {"float", [](Log& l) { l.log(3.14159f); }, "3.142 \n"},
        {"double", [](Log& l) { l.log(3.14159); }, "3.142 \n"},
        {"float big", [](Log& l) { l.log(123456.0f); }, "1.235e+05 \n"},
    };
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    for (const Case& c : cases) {
        const std::string path = tmp.path(std::string(c.name) + ".log");
        {
            Log log(path.c_str(), true);
            c.write(log);
        }
        EXPECT_EQ(readFile(path), c.expected) << c.name;
    }
}

TEST(Log, SwitchedOnTruncatesAndFlushesEveryLine) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string path = tmp.path("trace.log");
    ASSERT_TRUE(svctest::writeFile(path, "a much longer trace from the previous run\n"));
    Log log(path.c_str(), true);
    EXPECT_EQ(readFile(path), "");
    log.log("one");
    EXPECT_EQ(readFile(path), "one \n");  // on disk while the Log is still open
    log.log("n", 2);
    EXPECT_EQ(readFile(path), "one \nn: 2\n");
}

TEST(Log, UnopenablePathIsQuiet) {
    // Switched on but unable to open its file: every entry is dropped
    // without a word on the console and without a crash.
    const std::string path = "/nonexistent-folder-wyrle/x.log";
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
        Log log(path.c_str(), true);
        log.log("abc");
        log.log(1);
        log.log("a", "b");
        log.log(2.5);
    }
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(err, "");
    EXPECT_EQ(out, "");
    EXPECT_FALSE(svctest::exists(path));
}
