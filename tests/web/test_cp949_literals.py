#!/usr/bin/python3
"""The web build's CP949 literals: web/cp949_literals.py's conversions, and
for every platform-neutral source it converts, the proof that the compiled
bytes are the native build's: g++ turns the converted copy (no charset
option) into the same assembly as the original with -fexec-charset=CP949.

usage: test_cp949_literals.py ROOT
"""
import os
import subprocess
import sys
import tempfile

root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else '.')
sys.path.insert(0, os.path.join(root, 'web'))
import cp949_literals  # noqa: E402

passed = failed = 0


def check(ok, what):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print('FAILED: ' + what)


CASES = [
    # (source, converted, changed)
    ('const char *s = "기본";', r'const char *s = "\261\342\272\273";', True),
    # A hex digit after the text stays a character of its own.
    ('"기a1"', r'"\261\342a1"', True),
    ('"a\\"기"', '"a\\"\\261\\342"', True),
    ("char c = '\\'';", "char c = '\\'';", False),
    # Wide and Unicode literals keep their own encoding.
    ('L"기본" u"기" U"기" u8"기"', 'L"기본" u"기" U"기" u8"기"', False),
    # Comments are not literals.
    ('// "기본"\nint x; /* "기" */', '// "기본"\nint x; /* "기" */', False),
    ('R"(기)"', 'R"(기)"', False),
    ('x = 1; y = "ok";', 'x = 1; y = "ok";', False),
    # A name ending in L or u is no prefix.
    ('CALL"기"', r'CALL"\261\342"', True),
    ('"갂"', r'"\201\101"', True),
    # A digit separator opens no character literal.
    ("int n = 1'000; const char *t = \"기\";", "int n = 1'000; const char *t = \"\\261\\342\";", True),
]
for source, want, changed in CASES:
    got, did = cp949_literals.convert(source)
    check(got == want and did == changed, 'convert %r gave %r (%s)' % (source, got, did))

sources = []
for floor in ('core', 'layers', 'catalog', 'editor', 'project', 'output'):
    for folder, _, files in os.walk(os.path.join(root, floor)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            if name.endswith('.cpp') and not name.endswith('_win32.cpp'):
                with open(path, encoding='utf-8') as f:
                    if cp949_literals.convert(f.read())[1]:
                        sources.append(path)
check(len(sources) >= 10, 'the tree has sources with Korean literals (%d found)' % len(sources))


def assembly(path, extra):
    out = subprocess.run(['g++', '-std=c++17', '-S', '-O0', '-o', '-', '-I', root, '-I', '/usr/include/stb',
                          '-iquote', os.path.dirname(path)] + extra + [path],
                         check=True, stdout=subprocess.PIPE).stdout.decode('latin-1')
    return [line for line in out.splitlines() if not line.lstrip().startswith(('.file', '.loc', '.ident'))]


with tempfile.TemporaryDirectory() as work:
    for path in sources:
        copy = os.path.join(work, os.path.basename(path))
        subprocess.run([sys.executable, os.path.join(root, 'web', 'cp949_literals.py'), path, copy], check=True)
        native = assembly(path, ['-fexec-charset=CP949'])
        web = assembly(copy, [])
        check(native == web, os.path.relpath(path, root) + ': the converted copy compiles to other bytes')

print('%d passed, %d failed' % (passed, failed))
sys.exit(1 if failed else 0)
