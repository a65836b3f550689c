#include "file/data_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "file/file.h"

namespace {

namespace fs = std::filesystem;

class DataPathTest : public testing::Test {
protected:
    void SetUp() override {
        saved = DataFolders();
        root = fs::current_path() / "data-path-test";
        fs::remove_all(root);
        fs::create_directories(root / "elsewhere" / "Images");
        fs::create_directories(root / "here");
        std::ofstream(root / "elsewhere" / "Images" / "p.txt") << "far";
    }
    void TearDown() override {
        SetDataFolders(saved);
        fs::current_path(root.parent_path());
        fs::remove_all(root);
    }
    static std::string Read(File& file) {
        char line[FILE_LINE_LENGTH];
        file.GetLine(line);
        return line;
    }
    std::vector<std::string> saved;
    fs::path root;
};

TEST_F(DataPathTest, BackslashesBecomeSlashes) {
    EXPECT_EQ(NativePath("Images\\tile.tif"), "Images/tile.tif");
    EXPECT_EQ(NativePath("a\\b\\c"), "a/b/c");
    fs::current_path(root / "elsewhere");
    File file;
    ASSERT_EQ(file.Open("Images\\p.txt", FILE_READ | FILE_SEQUENTIAL), FILE_OK);
    EXPECT_EQ(Read(file), "far");
    EXPECT_EQ(file.path, "Images\\p.txt");
    EXPECT_EQ(File::Exists("Images\\p.txt"), FILE_FOUND);
}

TEST_F(DataPathTest, ReadsLookInTheWorkingFolderFirstThenTheDataFolders) {
    fs::current_path(root / "here");
    SetDataFolders({(root / "elsewhere").string()});
    {
        File file;
        ASSERT_EQ(file.Open("Images\\p.txt", FILE_READ | FILE_SEQUENTIAL), FILE_OK);
        EXPECT_EQ(Read(file), "far");
    }
    fs::create_directories("Images");
    std::ofstream("Images/p.txt") << "near";
    {
        File file;
        ASSERT_EQ(file.Open("Images\\p.txt", FILE_READ | FILE_SEQUENTIAL), FILE_OK);
        EXPECT_EQ(Read(file), "near");
    }
    // Missing everywhere: the usual not-found result.
    File file;
    EXPECT_EQ(file.Open("Images\\none.txt", FILE_READ | FILE_SEQUENTIAL), FILE_NOTFOUND);
}

TEST_F(DataPathTest, WritesStayInTheWorkingFolder) {
    fs::current_path(root / "here");
    SetDataFolders({(root / "elsewhere").string()});
    fs::create_directories("Images");
    {
        File file;
        ASSERT_EQ(file.Open("Images\\p.txt", FILE_WRITE | FILE_AUTOCREATE | FILE_SEQUENTIAL), FILE_OK);
        file.PutLine("new");
    }
    EXPECT_TRUE(fs::exists(root / "here" / "Images" / "p.txt"));
    std::ifstream far(root / "elsewhere" / "Images" / "p.txt");
    std::string text;
    far >> text;
    EXPECT_EQ(text, "far");
}

TEST_F(DataPathTest, DefaultFoldersAreBesideTheExecutableAboveItAndInstalled) {
    const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(saved, (std::vector<std::string>{folder.string(), folder.parent_path().string(),
                                               (folder.parent_path() / "share" / "tarvo").string()}));
}

}  // namespace
