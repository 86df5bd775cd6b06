#!/usr/bin/python3
"""Narrow string and character literals as the CP949 bytes the program stores.

The native builds compile the UTF-8 sources with -fexec-charset=CP949; clang,
which the web build uses, has no such option. This writes a source with every
non-ASCII character inside a narrow literal replaced by octal escapes of its
CP949 bytes (octal, so that a following digit or letter cannot join the
escape), which the compiler then stores unchanged. Comments, wide and u8/u/U
literals and everything else are copied as they are.

    cp949_literals.py IN OUT     convert one file
    cp949_literals.py --needs F...  print each F that holds a literal to convert
"""
import sys


def convert(text):
    out = []
    i, n = 0, len(text)
    changed = False
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
            out.append(text[i:j]); i = j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j]); i = j
        elif c == 'R' and text.startswith('R"', i) and not (i and (text[i - 1].isalnum() or text[i - 1] == '_')):
            # A raw literal: copied whole (the tree has none with Korean).
            d = text.find('(', i + 2)
            end = ')' + text[i + 2:d] + '"'
            j = text.find(end, d) + len(end)
            out.append(text[i:j]); i = j
        elif c in '"\'':
            # The prefix decides: L, u, U and u8 literals keep their own encoding.
            k = i
            while k > 0 and (text[k - 1].isalnum() or text[k - 1] == '_'):
                k -= 1
            prefix = text[k:i]
            if c == "'" and prefix[:1].isdigit():
                # A digit separator (1'000), not a literal.
                out.append(c); i += 1
                continue
            narrow = prefix == '' or not (prefix in ('L', 'u', 'U', 'u8'))
            j = i + 1
            body = []
            while j < n and text[j] != c:
                if text[j] == '\\':
                    body.append(text[j:j + 2]); j += 2
                    continue
                if text[j] == '\n':
                    break
                ch = text[j]
                if narrow and ord(ch) > 127:
                    body.append(''.join('\\%03o' % b for b in ch.encode('cp949')))
                    changed = True
                else:
                    body.append(ch)
                j += 1
            out.append(c + ''.join(body) + c); i = j + 1
        else:
            j = i + 1
            while j < n and text[j] not in '"\'/R':
                j += 1
            out.append(text[i:j]); i = j
    return ''.join(out), changed


def main(argv):
    if len(argv) >= 2 and argv[1] == '--needs':
        for name in argv[2:]:
            with open(name, encoding='utf-8') as f:
                if convert(f.read())[1]:
                    print(name)
        return 0
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding='utf-8') as f:
        text, _ = convert(f.read())
    with open(argv[2], 'w', encoding='utf-8') as f:
        f.write('#line 1 "%s"\n' % argv[1] + text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
