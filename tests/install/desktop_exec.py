"""Splits a desktop entry's Exec value into its arguments, one a line, as a
launcher does: the string escapes first, then the quoting rules (inside double
quotes a backslash takes the next `"`, backtick, `$` or backslash literally)."""
import sys

STRING_ESCAPES = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}


def split_exec(value):
    text, i = "", 0
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value) and value[i + 1] in STRING_ESCAPES:
            text += STRING_ESCAPES[value[i + 1]]
            i += 2
        else:
            text += value[i]
            i += 1
    args, current, quoted, started, i = [], "", False, False, 0
    while i < len(text):
        c = text[i]
        if quoted:
            if c == "\\" and i + 1 < len(text) and text[i + 1] in '"`$\\':
                current += text[i + 1]
                i += 1
            elif c == '"':
                quoted = False
            else:
                current += c
        elif c == '"':
            quoted, started = True, True
        elif c == " ":
            if started:
                args.append(current)
            current, started = "", False
        else:
            current += c
            started = True
        i += 1
    if quoted:
        raise ValueError("unclosed quote")
    if started:
        args.append(current)
    return args


if __name__ == "__main__":
    for arg in split_exec(sys.argv[1]):
        print(arg)
