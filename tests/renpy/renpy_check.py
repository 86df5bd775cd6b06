#!/usr/bin/python3
"""The Ren'Py export shown by Ren'Py itself.

Usage: renpy_check.py VOR_CLI VOR_GEN_SAMPLE WORK_DIR

Exports the sample project and two random characters both ways into one
Ren'Py game (`export --renpy` into game/, the PNG files beside it), lints the
game, runs it under a private Xvfb and, for every expression x checked style,
takes a screenshot of `show <tag> <expression> <style> at topleft` and one of
the exported PNG shown the same way, and compares the two. Debian's renpy
8.0.3 stops under Python 3.11 in its screen-language compiler ("AST node line
range ... is not valid"): the private copy made here corrects, in
compile_expr of renpy/sl2/slast.py, every AST node that ends before it starts.
Exit 0 when every pair matches, 1 otherwise, 77 (skipped) where Ren'Py, Xvfb
or PIL is missing.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

RENPY_SOURCE = "/usr/share/games/renpy"
SKIPPED = 77
# Ren'Py 8.0.3's gl2 renderer (here on Mesa's llvmpipe) does not draw a
# texture texel for pixel at 1:1: each texture is sampled about 0.45 pixel
# off the grid, a 1-pixel checkerboard comes out grey. The layered character
# is smoothed layer by layer before the layers meet, the PNG only once, so
# the two pictures part along the layers' edges. Measured over the sample and
# two random characters: mean difference below 0.9 and at most 0.75% of the
# pixels over 32, where another expression of the same style lies at a mean
# of 2.8 or more and 2% or more.
MEAN_LIMIT = 1.5
EDGE_SHARE_LIMIT = 0.012
SEEDS = (3, 7)
BACKGROUND = "#4a7a5c"

PATCH_OLD = """    expr = ast.Expression(body=node)
    ast.fix_missing_locations(expr)
"""
PATCH_NEW = """    expr = ast.Expression(body=node)
    ast.fix_missing_locations(expr)
    # Python 3.11 refuses nodes that end before they start.
    for n in ast.walk(expr):
        if getattr(n, "end_lineno", None) is not None and n.end_lineno < n.lineno:
            n.end_lineno = n.lineno
            n.end_col_offset = max(n.end_col_offset or 0, n.col_offset)
"""


def skip(why):
    print("renpy_check: skipped: " + why)
    sys.exit(SKIPPED)


def fail(why):
    print("renpy_check: FAILED: " + why)
    sys.exit(1)


def run(command, **kwargs):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, **kwargs)
    if result.returncode != 0:
        fail("%s exited %d:\n%s" % (" ".join(command), result.returncode, result.stdout.decode(errors="replace")))
    return result.stdout.decode(errors="replace")


def private_renpy(work):
    target = os.path.join(work, "renpy")
    shutil.copytree(RENPY_SOURCE, target, symlinks=True)
    slast = os.path.join(target, "renpy", "sl2", "slast.py")
    with open(slast) as f:
        text = f.read()
    if PATCH_OLD not in text:
        fail("compile_expr in renpy/sl2/slast.py is not the one this script corrects")
    with open(slast, "w") as f:
        f.write(text.replace(PATCH_OLD, PATCH_NEW))
    return os.path.join(target, "renpy.py")


def read_names(rpy):
    """The tag, expressions and styles the exported script's comment lists."""
    with open(rpy, encoding="utf-8") as f:
        text = f.read()
    tag = re.search(r"^layeredimage (\w+):", text, re.M).group(1)
    expressions = re.search(r"^# Expressions: (.*) \(default", text, re.M).group(1).split()
    styles = re.search(r"^# Dress styles: (.*) \(default", text, re.M).group(1).split()
    return tag, expressions, styles


def start_xvfb(screen="640x640x24"):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip():
        xvfb.kill()
        fail("Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    vor_cli, gen_sample, work = (os.path.abspath(a) for a in sys.argv[1:])
    if not os.path.isfile(os.path.join(RENPY_SOURCE, "renpy.py")):
        skip("Ren'Py is not installed (%s)" % RENPY_SOURCE)
    if shutil.which("Xvfb") is None:
        skip("Xvfb is not installed")
    try:
        from PIL import Image, ImageChops
    except ImportError:
        skip("python3-pil is not installed")

    started = time.time()
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    renpy = private_renpy(work)
    sample = os.path.join(work, "sample")
    run([gen_sample, sample])
    project = os.path.join(work, "project")
    game = os.path.join(project, "game")
    shots = os.path.join(work, "shots")
    os.makedirs(shots)
    data = ["--data", os.path.join(sample, "data")]

    characters = []  # (tag, expressions, styles, folder of its PNG export below game/)
    projects = [os.path.join(sample, "sample.vor")]
    for seed in SEEDS:
        path = os.path.join(work, "random%d.vor" % seed)
        run([vor_cli] + data + ["random", "--seed", str(seed), "--out", path])
        projects.append(path)
    for index, path in enumerate(projects):
        # The script is the last file the export names.
        written = run([vor_cli] + data + ["export", path, "--renpy", game]).split("\n")
        tag, expressions, styles = read_names([line for line in written if line.endswith(".rpy")][-1])
        flat = os.path.join(game, "flat%d" % index)
        run([vor_cli] + data + ["export", path, "--out", flat])
        (name,) = os.listdir(flat)
        characters.append((tag, expressions, styles, "flat%d/%s" % (index, name)))

    lines = [
        "define config.screen_width = 360",
        "define config.screen_height = 480",
        "label start:",
        '    scene expression Solid("%s")' % BACKGROUND,
    ]
    pairs = []
    for tag, expressions, styles, flat in characters:
        for style in styles:
            for expression in expressions:
                stem = os.path.join(shots, "%s_%s_%s" % (tag, style, expression))
                pairs.append((stem, (tag, style)))
                lines += [
                    "    show %s %s %s at topleft" % (tag, expression, style),
                    "    $ renpy.pause(0.02, hard=True)",
                    "    $ renpy.screenshot(%r)" % (stem + "_layered.png"),
                    "    hide %s" % tag,
                    '    show expression "%s/%s/%s.png" as flat at topleft' % (flat, style, expression),
                    "    $ renpy.pause(0.02, hard=True)",
                    "    $ renpy.screenshot(%r)" % (stem + "_png.png"),
                    "    hide flat",
                ]
    lines.append("    $ renpy.quit()")
    with open(os.path.join(game, "script.rpy"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")

    lint = run(["/usr/bin/python3", renpy, project, "lint"], timeout=120)
    problems = [line for line in lint.splitlines() if re.match(r"game/.*\.rpy:\d+", line)]
    if problems:
        fail("renpy lint:\n" + "\n".join(problems))

    xvfb, display = start_xvfb()
    try:
        env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy")
        run(["/usr/bin/python3", renpy, project], env=env, timeout=150)
    finally:
        xvfb.send_signal(signal.SIGTERM)
        xvfb.wait()

    def load(path):
        try:
            image = Image.open(path).convert("RGB")
        except OSError as error:
            fail("no screenshot: %s" % error)
        if image.size != (360, 480):
            fail("%s: a screenshot of %s" % (path, image.size))
        return image

    def distance(a, b):
        """Mean of the largest channel difference, and the share of pixels over 32."""
        largest = [max(p) for p in ImageChops.difference(a, b).getdata()]
        return sum(largest) / len(largest), sum(1 for v in largest if v > 32) / len(largest)

    worst = (0.0, 0.0)
    by_style = {}
    for stem, style_key in pairs:
        by_style.setdefault(style_key, []).append(stem)
    for stems in by_style.values():
        flats = {stem: load(stem + "_png.png") for stem in stems}
        for stem in stems:
            layered = load(stem + "_layered.png")
            own = distance(layered, flats[stem])
            if own[0] > MEAN_LIMIT or own[1] > EDGE_SHARE_LIMIT:
                fail("%s: the layered character differs from its PNG: mean %.2f, %.2f%% of pixels over 32"
                     % (os.path.basename(stem), own[0], own[1] * 100))
            # Nearer to its own PNG than to any other expression's of the style.
            for other in stems:
                if other != stem and distance(layered, flats[other])[0] <= own[0]:
                    fail("%s looks like %s" % (os.path.basename(stem), os.path.basename(other)))
            worst = max(worst, own)
    print("renpy_check: %d pairs of %d characters shown by Ren'Py match their PNG shown the same way "
          "(worst: mean difference %.2f, %.2f%% of pixels over 32), each nearer its own PNG than any other "
          "expression's; %.0f s" % (len(pairs), len(characters), worst[0], worst[1] * 100, time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
