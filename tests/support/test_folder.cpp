#include "tests/support/test_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

TestFolderListener::TestFolderListener(std::string parentFolder) : parent(std::move(parentFolder)) {}

void TestFolderListener::OnTestStart(const testing::TestInfo&) {
    std::string pattern = parent + "/test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        // Running in a shared folder would hide the faults this is here to stop.
        std::perror("tarvo tests: test folder");
        std::abort();
    }
    current = pattern;
}

void TestFolderListener::OnTestEnd(const testing::TestInfo& test) { EndTest(test.result()->Failed()); }

void TestFolderListener::EndTest(bool failed) {
    if (current.empty()) return;
    // Leave the folder before removing it; a test may have changed folder.
    if (chdir(parent.c_str()) != 0) std::perror("tarvo tests: parent folder");
    if (failed) {
        std::fprintf(stderr, "tarvo tests: the failed test's folder is kept: %s\n", current.c_str());
        keptAny = true;
    } else {
        std::error_code ignored;
        std::filesystem::remove_all(current, ignored);
    }
    current.clear();
}
