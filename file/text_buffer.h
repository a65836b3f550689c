/// @file
/// TextBuffer: a small scrolling text console in memory. `lines` slots of
/// `lineWidth` bytes, each a NUL-terminated string, filled one character at a
/// time: carriage return starts a new line, backspace erases within the line,
/// a full line wraps, and a full last line scrolls everything up one slot.
///
/// NextToken / NextWord take the first word off a line of text in place.
///
/// Depends on nothing. The buffer is owned and freed with the standard
/// allocator. A text given to NewLine is cut to lineWidth - 1 characters.
#pragma once

#include <cstdint>

class TextBuffer {
public:
    int32_t lines = 0;
    int32_t lineWidth = 0;  ///< bytes a slot: at most lineWidth - 1 characters and a NUL
    int32_t line = 0;       ///< current line, 0 .. lines - 1
    int32_t column = 0;     ///< characters in the current line
    char* text = nullptr;   ///< lines * lineWidth bytes, line 0 first
    char* cursor = nullptr; ///< where the next character goes

    TextBuffer() = default;
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    /// A square buffer: n lines of n bytes, all zero, cursor at line 0. Sizes
    /// below 2 (a slot with room for no character) are taken as 2.
    void Init(int n);
    char* CurrentLine();
    /// The line k above the current one (k = 0: the current line); null above
    /// the first line.
    char* LineBack(int k);
    /// 13 starts a new line, 8 erases the last character of the line; any
    /// other character is stored, wrapping (and scrolling) when the line is full.
    void AddChar(int c);
    /// Moves to the next line (scrolling at the last) and, when s is not null,
    /// puts s there, cut to lineWidth - 1 characters.
    void NewLine(const char* s);
    /// Moves lines 1 .. lines - 1 up one slot and clears the last one.
    void Scroll();
};

/// Takes the first word off `lineText` (see NextToken) with ' ' as separator.
int NextWord(char* lineText, char* word);
/// Skips leading spaces and tabs; copies the word (up to the separator, a tab,
/// newline or NUL) into `word`, which must hold the rest of the line. A last
/// word takes everything to the end of the string, newline included, and
/// leaves lineText empty; otherwise the rest after the one separator or tab
/// that ended the word, up to a newline, moves to the front of lineText.
/// 1 when a word was found, 0 (word empty, lineText untouched) when not.
int NextToken(char* lineText, char* word, char separator);
