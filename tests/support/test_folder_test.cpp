// Each test starts in an empty working folder of its own.
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string firstFolder;

bool FolderIsEmpty() { return std::filesystem::directory_iterator(".") == std::filesystem::directory_iterator(); }

TEST(TestFolder, FirstTestFindsAnEmptyFolderAndLeavesAFileInIt) {
    EXPECT_TRUE(FolderIsEmpty());
    firstFolder = std::filesystem::current_path().string();
    std::ofstream("data.bin") << "left behind";
}

TEST(TestFolder, NextTestFindsAnotherEmptyFolder) {
    EXPECT_TRUE(FolderIsEmpty());
    // Under CTest each test is a process of its own and the first left no trace.
    if (!firstFolder.empty()) {
        EXPECT_NE(std::filesystem::current_path().string(), firstFolder);
        EXPECT_FALSE(std::filesystem::exists(firstFolder)) << "the first test's folder is removed";
    }
}

// What a failed test left is kept where the message says; a passed test's
// folder goes.
TEST(TestFolder, AFailedTestsFolderIsKeptAndNamedAPassedOnesRemoved) {
    const std::string parent = std::filesystem::absolute("folders").string();
    ASSERT_TRUE(std::filesystem::create_directory(parent));
    TestFolderListener folders(parent);
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();

    folders.OnTestStart(test);
    const std::string failed = folders.Current();
    std::ofstream("actual.pgm") << "P5";
    testing::internal::CaptureStderr();
    folders.EndTest(true);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::filesystem::exists(failed + "/actual.pgm"));
    EXPECT_EQ(said, "tarvo tests: the failed test's folder is kept: " + failed + "\n");
    EXPECT_TRUE(folders.KeptAny());

    folders.OnTestStart(test);
    const std::string passed = folders.Current();
    EXPECT_NE(passed, failed);
    std::ofstream("data.bin") << "left behind";
    folders.EndTest(false);
    EXPECT_FALSE(std::filesystem::exists(passed));
    EXPECT_TRUE(std::filesystem::exists(failed));
    EXPECT_EQ(std::filesystem::current_path().string(), parent);
}

}  // namespace
