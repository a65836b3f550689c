// File: open flags and their mode strings (seen through what they do to the
// file), missing files, warnings and fatal flag errors in the debug log,
// transfer result codes, positions and lines.
#include <dirent.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/debug_log.h"
#include "file/file.h"

namespace {

std::string ReadAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

bool Exists(const std::string& name) { return std::ifstream(name).good(); }

int OpenDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
    return count;
}

class FileTest : public testing::Test {
protected:
    // A fresh log in this test's directory, so each test sees only its lines.
    void SetUp() override { debugLog.Open("debug.txt"); }
    void TearDown() override { debugLog.Open("debug.txt"); }
    std::string Log() { return ReadAll("debug.txt"); }
};

struct OpenCase {
    const char* name;
    int flags;
    bool fileExists;
    int result;
    const char* log;        // exact log after Open
    bool createdOrEmptied;  // afterwards the file exists and is empty
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class FileOpenTest : public FileTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(FileOpenTest, ResultLogAndEffectOnTheFile) {
    const OpenCase& c = GetParam();
    if (c.fileExists) WriteAll("data.bin", "abc");
    File file;
    EXPECT_EQ(file.Open("data.bin", c.flags), c.result);
    EXPECT_EQ(Log(), c.log);
    if (c.result == FILE_NOTFOUND) {
        EXPECT_EQ(file.mode, FILE_NOTOPEN);
        EXPECT_EQ(file.stream, nullptr);
        EXPECT_FALSE(Exists("data.bin")) << "a missing file must not be created";
        return;
    }
    EXPECT_EQ(file.mode, c.flags);
    file.Close();
    EXPECT_EQ(ReadAll("data.bin"), c.createdOrEmptied ? "" : "abc");
}

constexpr const char* kReadMissing = "File::Open: File does not exist for read.\n  ";

INSTANTIATE_TEST_SUITE_P(
    Flags, FileOpenTest,
    testing::Values(
        OpenCase{"ReadExisting", FILE_READ | FILE_RANDOM, true, FILE_OK, "", false},
        OpenCase{"ReadMissing", FILE_READ | FILE_RANDOM, false, FILE_NOTFOUND, kReadMissing, false},
        OpenCase{"ReadAutocreateWarnsThenReads", FILE_READ | FILE_AUTOCREATE | FILE_RANDOM, true, FILE_OK,
                 "File::Open: (Warning only) FILE_AUTOCREATE has no meaning when using FILE_READ without "
                 "FILE_APPEND or FILE_WRITE.\n  ",
                 false},
        OpenCase{"ReadAutocreateMissing", FILE_READ | FILE_AUTOCREATE | FILE_RANDOM, false, FILE_NOTFOUND,
                 "File::Open: (Warning only) FILE_AUTOCREATE has no meaning when using FILE_READ without "
                 "FILE_APPEND or FILE_WRITE.\n  File::Open: File does not exist for read.\n  ",
                 false},
        OpenCase{"WriteEmptiesExisting", FILE_WRITE | FILE_RANDOM, true, FILE_OK, "", true},
        OpenCase{"WriteMissingCreatesNothing", FILE_WRITE | FILE_RANDOM, false, FILE_NOTFOUND,
                 "File::Open: File does not exist for write (Use FILE_AUTOCREATE is desired).\n  ", false},
        OpenCase{"WriteAutocreateCreates", FILE_WRITE | FILE_AUTOCREATE | FILE_SEQUENTIAL, false, FILE_OK, "", true},
        OpenCase{"ReadWriteKeepsExisting", FILE_READ | FILE_WRITE | FILE_RANDOM, true, FILE_OK, "", false},
        OpenCase{"ReadWriteMissing", FILE_READ | FILE_WRITE | FILE_RANDOM, false, FILE_NOTFOUND,
                 "File::Open: File does not exist for read/write. (Use FILE_AUTOCREATE if desired)\n  ", false},
        OpenCase{"ReadWriteAutocreateEmpties", FILE_READ | FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM, true, FILE_OK,
                 "", true},
        OpenCase{"AppendKeeps", FILE_APPEND | FILE_RANDOM, true, FILE_OK, "", false},
        OpenCase{"AppendMissing", FILE_APPEND | FILE_LEAVEEOF | FILE_RANDOM, false, FILE_NOTFOUND,
                 "File::Open: File does not exist for append. (Use FILE_AUTOCREATE if desired)\n  ", false},
        OpenCase{"AppendAutocreateCreates", FILE_APPEND | FILE_AUTOCREATE | FILE_RANDOM, false, FILE_OK, "", true},
        OpenCase{"LeaveEofWithoutAppendWarns", FILE_READ | FILE_LEAVEEOF | FILE_RANDOM, true, FILE_OK,
                 "File::Open: (Warning only) FILE_LEAVEEOF only has meaning with FILE_APPEND.\n  ", false},
        // The existence test comes before the access-mode checks.
        OpenCase{"MissingBeatsBadAccessBits", FILE_READ | FILE_RANDOM | FILE_SEQUENTIAL, false, FILE_NOTFOUND,
                 kReadMissing, false},
        OpenCase{"MissingBeatsNoAccessBits", FILE_READ, false, FILE_NOTFOUND, kReadMissing, false}),
    [](const testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

struct FatalCase {
    const char* name;
    int flags;
    const char* message;
};

void PrintTo(const FatalCase& c, std::ostream* os) { *os << c.name; }

class FileFatalTest : public FileTest, public testing::WithParamInterface<FatalCase> {};

TEST_P(FileFatalTest, LogsAndEndsWithStatus255) {
    const FatalCase& c = GetParam();
    WriteAll("data.bin", "abc");
    EXPECT_EXIT(
        {
            // The child's log goes to standard error, where the death test looks.
            debugLog.Open("/dev/stderr");
            File file;
            file.Open("data.bin", c.flags);
        },
        testing::ExitedWithCode(255), testing::HasSubstr(c.message));
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FileFatalTest,
    testing::Values(
        FatalCase{"AppendAndRead", FILE_APPEND | FILE_READ | FILE_RANDOM,
                  "File::Open: Cannot open file in both APPEND and READ modes.\n"},
        // READ is tested first, so APPEND with READ and WRITE names READ.
        FatalCase{"AppendReadWrite", FILE_APPEND | FILE_READ | FILE_WRITE | FILE_RANDOM,
                  "File::Open: Cannot open file in both APPEND and READ modes.\n"},
        FatalCase{"AppendAndWrite", FILE_APPEND | FILE_WRITE | FILE_RANDOM,
                  "File::Open: Cannot open file in both APPEND and WRITE modes.\n"},
        FatalCase{"NoAccess", FILE_RANDOM, "File::Open: Must open file using FILE_APPEND, FILE_READ, or FILE_WRITE.\n"},
        FatalCase{"NotOpenFlag", FILE_READ | FILE_RANDOM | FILE_NOTOPEN,
                  "File::Open: Cannot open a file using FILE_NOTOPEN command!!\n"},
        FatalCase{"BothAccessModes", FILE_READ | FILE_RANDOM | FILE_SEQUENTIAL,
                  "File::Open: Cannot open in SEQUENTIAL and RANDOM access modes.\n"},
        FatalCase{"NoAccessMode", FILE_READ, "File::Open: Must open in SEQUENTIAL or RANDOM access mode.\n"}),
    [](const testing::TestParamInfo<FatalCase>& info) { return std::string(info.param.name); });

TEST_F(FileTest, OpenOfADirectoryForWritingIsFatal) {
    EXPECT_EXIT(
        {
            debugLog.Open("/dev/stderr");
            File file;
            file.Open(".", FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM);
        },
        testing::ExitedWithCode(255), testing::HasSubstr("File::Open: Unable to open file (reason unknown)\n"));
}

// "a" is write-only and "a+" may read: what a read gets tells them apart.
TEST_F(FileTest, AppendReadsOnlyWithoutLeaveEof) {
    const struct {
        int flags;
        const char* line;  // what GetLine finds
    } cases[] = {{FILE_APPEND | FILE_LEAVEEOF | FILE_RANDOM, ""}, {FILE_APPEND | FILE_RANDOM, "ab"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        WriteAll("data.bin", "ab");
        File file("data.bin", c.flags);
        char line[FILE_LINE_LENGTH] = "-";
        file.GetLine(line);
        EXPECT_STREQ(line, c.line);
        EXPECT_EQ(file.Write(2, "cd"), FILE_NOTWRITE);
        file.Close();
        EXPECT_EQ(ReadAll("data.bin"), "abcd") << "the bytes go to the end";
    }
}

TEST_F(FileTest, ShortReadStoresWhatThereIsAndReportsEof) {
    WriteAll("data.bin", "xy");
    File file("data.bin", FILE_READ | FILE_RANDOM);
    char buffer[4] = {'-', '-', '-', '-'};
    EXPECT_EQ(file.Read(4, buffer), FILE_EOF);
    EXPECT_EQ(std::string(buffer, 4), "xy--");
}

TEST_F(FileTest, AppendMovesBytesButReportsNotWriteAndNotRead) {
    WriteAll("data.bin", "ab");
    File file("data.bin", FILE_APPEND | FILE_RANDOM);
    EXPECT_EQ(file.Write(2, "cd"), FILE_NOTWRITE);
    EXPECT_EQ(file.PutChar('e'), FILE_NOTWRITE);
    char c;
    EXPECT_EQ(file.Read(1, &c), FILE_NOTREAD);
    file.Close();
    EXPECT_EQ(ReadAll("data.bin"), "abcde");
}

TEST_F(FileTest, ValuesMoveInMemoryOrder) {
    File out("data.bin", FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM);
    EXPECT_EQ(out.WriteShort(0x1234), FILE_OK);
    EXPECT_EQ(out.WriteLong(0x89ABCDEFu), FILE_OK);
    out.Close();
    EXPECT_EQ(ReadAll("data.bin"), std::string("\x34\x12\xEF\xCD\xAB\x89", 6));

    File in("data.bin", FILE_READ | FILE_RANDOM);
    uint16_t s = 0;
    uint32_t l = 0;
    EXPECT_EQ(in.ReadShort(&s), FILE_OK);
    EXPECT_EQ(in.ReadLong(&l), FILE_OK);
    EXPECT_EQ(s, 0x1234);
    EXPECT_EQ(l, 0x89ABCDEFu);
    EXPECT_EQ(in.ReadShort(&s), FILE_EOF);
}

TEST_F(FileTest, CharactersAndTheirCodes) {
    File out("data.bin", FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM);
    EXPECT_EQ(out.PutChar(0x141), FILE_OK);  // only the low 8 bits go out
    char c = 0;
    EXPECT_EQ(out.GetChar(&c), FILE_NOTREAD);
    out.Close();
    EXPECT_EQ(ReadAll("data.bin"), "A");

    File in("data.bin", FILE_READ | FILE_RANDOM);
    EXPECT_EQ(in.GetChar(&c), FILE_OK);
    EXPECT_EQ(c, 'A');
    EXPECT_EQ(in.GetChar(&c), FILE_EOF);
    EXPECT_EQ(static_cast<unsigned char>(c), 0xFF);
}

TEST_F(FileTest, SeekAndTell) {
    WriteAll("data.bin", "0123456789");
    File file("data.bin", FILE_READ | FILE_RANDOM);
    EXPECT_EQ(file.Seek(FILE_ENDPOS), 0);
    EXPECT_EQ(file.Tell(), 10);
    EXPECT_EQ(file.Seek(4), 0);
    char c;
    file.GetChar(&c);
    EXPECT_EQ(c, '4');
    EXPECT_EQ(file.Seek(FILE_STARTPOS), 0);
    EXPECT_EQ(file.Tell(), 0);
}

TEST_F(FileTest, GetLineTakes499CharactersAtATime) {
    WriteAll("data.txt", std::string(600, 'x') + "\nlast");
    File file("data.txt", FILE_READ | FILE_SEQUENTIAL);
    char buffer[FILE_LINE_LENGTH];
    EXPECT_EQ(file.GetLine(buffer), 0);
    EXPECT_EQ(std::string(buffer), std::string(499, 'x'));
    EXPECT_EQ(file.GetLine(buffer), 0);
    EXPECT_EQ(std::string(buffer), std::string(101, 'x') + "\n");
    EXPECT_EQ(file.GetLine(buffer), 1);
    EXPECT_EQ(std::string(buffer), "last");
    EXPECT_EQ(file.GetLine(buffer), 1);
    EXPECT_EQ(std::string(buffer), "") << "nothing left to read gives an empty line";
}

TEST_F(FileTest, PutLineWritesTheTextAndReturnsZero) {
    File file("data.txt", FILE_WRITE | FILE_AUTOCREATE | FILE_SEQUENTIAL);
    EXPECT_EQ(file.PutLine("one\n"), 0);
    EXPECT_EQ(file.PutLine("two"), 0);
    file.Close();
    EXPECT_EQ(ReadAll("data.txt"), "one\ntwo");
}

TEST_F(FileTest, ReopeningClosesTheOldStream) {
    WriteAll("a.bin", "a");
    WriteAll("b.bin", "b");
    File file("a.bin", FILE_READ | FILE_RANDOM);
    const int before = OpenDescriptors();
    EXPECT_EQ(file.Open("b.bin", FILE_READ | FILE_RANDOM), FILE_OK);
    EXPECT_EQ(OpenDescriptors(), before);
    char c;
    file.GetChar(&c);
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(file.path, "b.bin");
}

TEST_F(FileTest, MissingFileOnReopenKeepsTheOpenStream) {
    WriteAll("a.bin", "a");
    File file("a.bin", FILE_READ | FILE_RANDOM);
    EXPECT_EQ(file.Open("missing.bin", FILE_READ | FILE_RANDOM), FILE_NOTFOUND);
    EXPECT_EQ(file.path, "a.bin");
    char c;
    EXPECT_EQ(file.GetChar(&c), FILE_OK);
    EXPECT_EQ(c, 'a');
}

TEST_F(FileTest, LongPathsWork) {
    const std::string name = std::string(180, 'n') + ".bin";
    File out(name.c_str(), FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM);
    EXPECT_EQ(out.mode, FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM);
    EXPECT_EQ(out.path, name);
    out.Write(3, "abc");
    out.Close();
    EXPECT_EQ(ReadAll(name), "abc");
}

TEST_F(FileTest, ClosedFileIsHarmless) {
    File file;
    file.Close();
    file.Close();
    char buffer[FILE_LINE_LENGTH];
    EXPECT_EQ(file.Read(1, buffer), FILE_NOTREAD);
    EXPECT_EQ(file.Write(1, buffer), FILE_NOTWRITE);
    EXPECT_EQ(file.mode, FILE_NOTOPEN);
}

TEST_F(FileTest, ExistsProbes) {
    WriteAll("here.bin", "");
    EXPECT_EQ(File::Exists("here.bin"), FILE_FOUND);
    EXPECT_EQ(File::Exists("gone.bin"), FILE_NOTFOUND);
}

}  // namespace
