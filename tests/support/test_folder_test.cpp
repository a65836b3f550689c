// Each test starts in an empty working folder of its own.
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

}  // namespace
