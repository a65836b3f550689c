#include "file/text_buffer.h"

#include <cstdlib>
#include <cstring>

TextBuffer::~TextBuffer() { std::free(text); }

void TextBuffer::Init(int n) {
    std::free(text);
    text = nullptr;
    // A slot of one byte holds only its NUL, so no character could ever be
    // typed: sizes below 2 are taken as 2.
    lines = n >= 2 ? n : 2;
    lineWidth = lines;
    const size_t bytes = static_cast<size_t>(lines) * static_cast<size_t>(lines);
    text = static_cast<char*>(std::calloc(bytes, 1));
    line = 0;
    column = 0;
    cursor = text;
}

char* TextBuffer::CurrentLine() { return text + static_cast<size_t>(line) * static_cast<size_t>(lineWidth); }

char* TextBuffer::LineBack(int k) {
    if (line - k < 0) return nullptr;
    return text + static_cast<size_t>(line - k) * static_cast<size_t>(lineWidth);
}

void TextBuffer::AddChar(int c) {
    if (c == 13) {
        NewLine(nullptr);
        return;
    }
    if (c == 8) {
        if (column > 0) {
            --cursor;
            --column;
            *cursor = '\0';
        }
        return;
    }
    // >= rather than ==: the wrap must hold even if column ever stood past
    // the last character.
    if (column >= lineWidth - 1) {
        if (line == lines - 1)
            Scroll();
        else
            ++line;
        char* start = CurrentLine();
        start[0] = static_cast<char>(c);
        column = 1;
        cursor = start + 1;
        return;
    }
    *cursor++ = static_cast<char>(c);
    ++column;
}

void TextBuffer::NewLine(const char* s) {
    if (line == lines - 1)
        Scroll();
    else
        ++line;
    column = 0;
    cursor = CurrentLine();
    if (s != nullptr) {
        // At most lineWidth - 1 characters, so the slot keeps its NUL.
        const size_t room = lineWidth > 0 ? static_cast<size_t>(lineWidth - 1) : 0;
        const size_t length = strnlen(s, room);
        std::memcpy(cursor, s, length);
        std::memset(cursor + length, 0, static_cast<size_t>(lineWidth) - length);
        column = static_cast<int32_t>(length);
        cursor += length;
    }
}

void TextBuffer::Scroll() {
    if (lines <= 0) return;
    const size_t width = static_cast<size_t>(lineWidth);
    std::memmove(text, text + width, static_cast<size_t>(lines - 1) * width);
    std::memset(text + static_cast<size_t>(lines - 1) * width, 0, width);
}

int NextWord(char* lineText, char* word) { return NextToken(lineText, word, ' '); }

int NextToken(char* lineText, char* word, char separator) {
    const char* start = lineText;
    while (*start == ' ' || *start == '\t') ++start;
    if (*start == '\n' || *start == '\0') {
        word[0] = '\0';
        return 0;
    }
    const char* end = start;
    while (*end != separator && *end != '\t' && *end != '\n' && *end != '\0') ++end;
    if (*end == '\n' || *end == '\0') {
        // The last word takes the rest of the string, newline and all.
        std::memmove(word, start, std::strlen(start) + 1);
        lineText[0] = '\0';
        return 1;
    }
    const size_t wordLength = static_cast<size_t>(end - start);
    std::memmove(word, start, wordLength);
    word[wordLength] = '\0';
    const char* rest = end + 1;
    size_t restLength = 0;
    while (rest[restLength] != '\n' && rest[restLength] != '\0') ++restLength;
    std::memmove(lineText, rest, restLength);
    lineText[restLength] = '\0';
    return 1;
}
