// ReplaceFile: a new file's mode, a link and a file's mode kept, temporary
// names already taken, two replacements at once, read-only targets.
#include "file/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int PermissionBits(const std::string& name) {
    struct stat info {};
    stat(name.c_str(), &info);
    return static_cast<int>(info.st_mode & 07777);
}

bool Replace(const std::string& path, const std::string& bytes) {
    ReplaceFile replacement(path);
    if (!replacement.Begin()) return false;
    std::fputs(bytes.c_str(), replacement.Stream());
    return replacement.Commit();
}

TEST(ReplaceFile, ANewFileHasTheUsualModeLessTheUmask) {
    struct Case {
        mode_t umask;
        int bits;
    };
    for (const Case c : {Case{022, 0644}, Case{077, 0600}, Case{002, 0664}}) {
        SCOPED_TRACE(c.bits);
        fs::remove("new.txt");
        const mode_t saved = umask(c.umask);
        const bool replaced = Replace("new.txt", "fresh");
        umask(saved);
        ASSERT_TRUE(replaced);
        EXPECT_EQ(ReadAll("new.txt"), "fresh");
        EXPECT_EQ(PermissionBits("new.txt"), c.bits);
    }
    {
        ReplaceFile abandoned("new.txt");
        ASSERT_TRUE(abandoned.Begin());
        std::fputs("never", abandoned.Stream());
    }
    EXPECT_EQ(ReadAll("new.txt"), "fresh") << "a replacement never committed changes nothing";
    EXPECT_EQ(Names("."), std::vector<std::string>{"new.txt"}) << "and leaves no temporary file";
}

TEST(ReplaceFile, ALinkStaysALinkAndTheFileItNamesKeepsItsMode) {
    fs::create_directory("dotfiles");
    std::ofstream("dotfiles/real.txt") << "old";
    ASSERT_EQ(chmod("dotfiles/real.txt", 0640), 0);
    fs::create_symlink("dotfiles/real.txt", "link.txt");
    ReplaceFile replacement("link.txt");
    EXPECT_EQ(replacement.Target(), "dotfiles/real.txt");
    ASSERT_TRUE(replacement.Begin());
    std::fputs("new", replacement.Stream());
    ASSERT_TRUE(replacement.Commit());
    EXPECT_TRUE(fs::is_symlink("link.txt"));
    EXPECT_EQ(ReadAll("dotfiles/real.txt"), "new");
    EXPECT_EQ(PermissionBits("dotfiles/real.txt"), 0640);
    EXPECT_EQ(Names("."), (std::vector<std::string>{"dotfiles", "link.txt"}));
    EXPECT_EQ(Names("dotfiles"), std::vector<std::string>{"real.txt"});
}

// Links planted at the next temporary names (the count is learnt from a first
// replacement) are stepped over, never written through.
TEST(ReplaceFile, TemporaryNamesAlreadyTakenAreNeverWrittenThrough) {
    std::ofstream("victim") << "mine";
    std::string stem;
    unsigned count = 0;
    {
        ReplaceFile first("out.txt");
        ASSERT_TRUE(first.Begin());
        for (const std::string& name : Names("."))
            if (name.rfind("out.txt.", 0) == 0) {
                const size_t dash = name.rfind('-');
                stem = name.substr(0, dash + 1);
                count = static_cast<unsigned>(std::stoul(name.substr(dash + 1)));
            }
    }
    ASSERT_FALSE(stem.empty());
    for (unsigned n = count + 1; n <= count + 3; ++n) fs::create_symlink("victim", stem + std::to_string(n) + ".tmp");
    ASSERT_TRUE(Replace("out.txt", "written"));
    EXPECT_EQ(ReadAll("victim"), "mine");
    EXPECT_EQ(ReadAll("out.txt"), "written");
    EXPECT_FALSE(fs::is_symlink("out.txt"));
}

TEST(ReplaceFile, TwoReplacementsAtOnceLeaveOneWholeFile) {
    ReplaceFile first("shared.txt");
    ReplaceFile second("shared.txt");
    ASSERT_TRUE(first.Begin());
    ASSERT_TRUE(second.Begin());
    for (int i = 0; i < 3; ++i) {
        std::fputs("first\n", first.Stream());
        std::fflush(first.Stream());
        std::fputs("second\n", second.Stream());
        std::fflush(second.Stream());
    }
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(ReadAll("shared.txt"), "first\nfirst\nfirst\n");
    ASSERT_TRUE(second.Commit());
    EXPECT_EQ(ReadAll("shared.txt"), "second\nsecond\nsecond\n");
    EXPECT_EQ(Names("."), std::vector<std::string>{"shared.txt"});
}

TEST(ReplaceFile, ReadOnlyTargets) {
    std::ofstream("file") << "x";
    fs::create_directory("folder");
    struct Case {
        const char* name;
        int bits;  // 0: left as made
        bool readOnly;
    };
    // No write bit at all is read-only even for root, who may write anything.
    const Case cases[] = {
        {"file", 0444, true},  {"file", 0400, true},  {"file", 0200, false},
        {"file", 0644, false}, {"missing", 0, false}, {"folder", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.bits));
        if (c.bits != 0) {
            ASSERT_EQ(chmod(c.name, static_cast<mode_t>(c.bits)), 0);
        }
        EXPECT_EQ(ReplaceFile(c.name).TargetIsReadOnly(), c.readOnly);
    }
}

}  // namespace
