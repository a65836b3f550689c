// Test entry: every test process works in a fresh temporary directory, and
// every test in a folder of its own inside it (tests/support/test_folder.h),
// so the debug log and any file a test writes never meet another test's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/support/test_folder.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
    char* dir = mkdtemp(pattern.data());
    if (dir == nullptr || chdir(dir) != 0) {
        std::perror("tarvo tests: temporary directory");
        return 2;
    }
    // Owned by GoogleTest from here on.
    auto* folders = new TestFolderListener(dir);
    testing::UnitTest::GetInstance()->listeners().Append(folders);
    // A platform is always installed, so code that reports through message
    // boxes works in every test; engine tests install their own.
    static platform::ScriptedPlatform fallback;
    platform::SetCurrent(&fallback);
    const int result = RUN_ALL_TESTS();
    // Kept folders of failed tests live inside it.
    if (!folders->KeptAny()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    return result;
}
