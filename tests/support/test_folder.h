// Every test runs in a folder of its own: a GoogleTest listener makes a fresh
// folder before each test starts (before its fixture is built), makes it the
// working folder, and removes it once the test has passed. So a file a test
// writes by a relative name ("data.bin", "debug.txt") never meets another
// test's, whether the binary runs alone, under CTest, or several at once.
// A failed test's folder is kept, and its path printed, for what the test
// left there to show why (pictures, logs).
//
// Tests that need the build's files name them by absolute path
// (TARVO_BINARY_DIR, TARVO_SOURCE_DIR).
#pragma once

#include <gtest/gtest.h>

#include <string>

class TestFolderListener : public testing::EmptyTestEventListener {
public:
    // Test folders are made inside `parent`, which must exist.
    explicit TestFolderListener(std::string parent);

    void OnTestStart(const testing::TestInfo& test) override;
    void OnTestEnd(const testing::TestInfo& test) override;
    // Leaves the running test's folder: removed after a pass, kept and named
    // on standard error after a failure.
    void EndTest(bool failed);

    // The working folder of the running test (empty between tests).
    const std::string& Current() const { return current; }
    // Whether a failed test's folder was kept (so `parent` must stay too).
    bool KeptAny() const { return keptAny; }

private:
    std::string parent;
    std::string current;
    bool keptAny = false;
};
