// TextBuffer typing, wrapping, scrolling and backspace; NextWord/NextToken.
#include <gtest/gtest.h>

#include <string>

#include "file/text_buffer.h"

namespace {

std::string Line(TextBuffer& buffer, int i) { return buffer.text + i * buffer.lineWidth; }

void Type(TextBuffer& buffer, const char* keys) {
    for (const char* k = keys; *k; ++k) buffer.AddChar(*k);
}

TEST(TextBuffer, TypingWrapsAtTheEndOfALine) {
    TextBuffer buffer;
    buffer.Init(4);
    Type(buffer, "abcd");
    EXPECT_EQ(Line(buffer, 0), "abc");
    EXPECT_EQ(Line(buffer, 1), "d");
    EXPECT_EQ(buffer.line, 1);
    EXPECT_EQ(buffer.column, 1);
    EXPECT_EQ(buffer.cursor, buffer.text + 4 + 1);
}

TEST(TextBuffer, AFullLastLineScrolls) {
    TextBuffer buffer;
    buffer.Init(3);  // three lines of two characters
    Type(buffer, "aabbccd");
    EXPECT_EQ(Line(buffer, 0), "bb");
    EXPECT_EQ(Line(buffer, 1), "cc");
    EXPECT_EQ(Line(buffer, 2), "d");
    EXPECT_EQ(buffer.line, 2);
    EXPECT_EQ(buffer.column, 1);
}

// A width of 1 would leave a slot room for its NUL only, and the wrap then
// wrote past the buffer; sizes below 2 become 2.
TEST(TextBuffer, SizesBelowTwoBecomeTwoAndStillWrap) {
    for (int n : {1, 0, -5}) {
        SCOPED_TRACE(n);
        TextBuffer buffer;
        buffer.Init(n);
        EXPECT_EQ(buffer.lines, 2);
        EXPECT_EQ(buffer.lineWidth, 2);
        Type(buffer, "abc");
        EXPECT_EQ(Line(buffer, 0), "b");
        EXPECT_EQ(Line(buffer, 1), "c");
        EXPECT_EQ(buffer.line, 1);
        EXPECT_EQ(buffer.column, 1);
    }
}

TEST(TextBuffer, BackspaceErasesWithinTheLineOnly) {
    TextBuffer buffer;
    buffer.Init(4);
    buffer.AddChar(8);
    EXPECT_EQ(buffer.column, 0);
    Type(buffer, "ab\b");
    EXPECT_EQ(Line(buffer, 0), "a");
    EXPECT_EQ(buffer.column, 1);
    buffer.AddChar(13);
    buffer.AddChar(8);
    EXPECT_EQ(buffer.line, 1);
    EXPECT_EQ(buffer.column, 0);
    EXPECT_EQ(Line(buffer, 0), "a");
}

TEST(TextBuffer, LineBack) {
    TextBuffer buffer;
    buffer.Init(4);
    Type(buffer, "x\ry");
    EXPECT_EQ(buffer.LineBack(0), buffer.CurrentLine());
    EXPECT_EQ(std::string(buffer.LineBack(1)), "x");
    EXPECT_EQ(buffer.LineBack(2), nullptr);
}

TEST(TextBuffer, NewLineCutsTextToTheSlot) {
    TextBuffer buffer;
    buffer.Init(4);
    buffer.NewLine("hello");
    EXPECT_EQ(Line(buffer, 1), "hel");
    EXPECT_EQ(buffer.column, 3);
    EXPECT_EQ(buffer.cursor, buffer.text + 4 + 3);
    buffer.NewLine("ok");
    EXPECT_EQ(Line(buffer, 2), "ok");
    EXPECT_EQ(buffer.column, 2);
    buffer.NewLine(nullptr);
    buffer.NewLine("z");  // from the last line: scrolls
    EXPECT_EQ(Line(buffer, 0), "hel");
    EXPECT_EQ(Line(buffer, 1), "ok");
    EXPECT_EQ(Line(buffer, 2), "");
    EXPECT_EQ(Line(buffer, 3), "z");
}

TEST(NextWord, TakesWordsOffTheFront) {
    char line[64] = "  alpha beta\n";
    char word[64];
    EXPECT_EQ(NextWord(line, word), 1);
    EXPECT_STREQ(word, "alpha");
    EXPECT_STREQ(line, "beta");
    EXPECT_EQ(NextWord(line, word), 1);
    EXPECT_STREQ(word, "beta");
    EXPECT_STREQ(line, "");
    EXPECT_EQ(NextWord(line, word), 0);
    EXPECT_STREQ(word, "");
}

TEST(NextWord, TheLastWordKeepsItsNewline) {
    char line[64] = "gamma\n";
    char word[64];
    EXPECT_EQ(NextWord(line, word), 1);
    EXPECT_STREQ(word, "gamma\n");
    EXPECT_STREQ(line, "");
}

TEST(NextWord, OnlyOneSeparatorIsConsumed) {
    char line[64] = "a\t  b c";
    char word[64];
    EXPECT_EQ(NextWord(line, word), 1);
    EXPECT_STREQ(word, "a");
    EXPECT_STREQ(line, "  b c");
}

TEST(NextToken, UsesTheGivenSeparator) {
    char line[64] = "a,b";
    char word[64];
    EXPECT_EQ(NextToken(line, word, ','), 1);
    EXPECT_STREQ(word, "a");
    EXPECT_STREQ(line, "b");
}

}  // namespace
