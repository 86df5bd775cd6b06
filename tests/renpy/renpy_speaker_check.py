#!/usr/bin/python3
"""The exported character speaking in Ren'Py with nothing written for it.

Usage: renpy_speaker_check.py VOR_CLI VOR_GEN_SAMPLE WORK_DIR

Exports the sample project with `export --renpy` into a game whose whole
script is `label start:` / `show <tag>` / `<tag> "..."` / `return` (beside it
only a say screen like the one a new Ren'Py project has, and no gui images),
and has Ren'Py lint it: it must be clean. Then the same game runs under a
private Xvfb with a probe added (the splash screen and an overlay that take
screenshots), and the screenshots must show:

- over ten seconds of `show <tag> <default expression> <style>`, the eyes
  closed in some frames (the picture composed with the pack's closed frame)
  and open in most (the still PNG), nothing else;
- during the line, shown slowly, the mouth changing (the picture composed
  with the talking frame); once the line is complete, the still PNG;
- the speaker's name in the name box, as Ren'Py draws the name alone, and
  the side image: the exported PNG cut and zoomed as the script says.

The pictures to compare with come from vor-cli: the PNG export, and
renders over a copy of the data tree whose still eye (mouth) images are the
frame images. Exit 0 when all holds, 1 otherwise, 77 (skipped) where
Ren'Py, Xvfb or PIL is missing.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renpy_check  # noqa: E402  (the private copy of Ren'Py, Xvfb, run/skip/fail)

from renpy_check import fail, run, skip  # noqa: E402

BACKGROUND = (74, 122, 92)
# One screenshot of the character this often, for this long: a blink lasts
# 0.15 s, and the longest wait between two is 6 s. Under a software
# renderer a screenshot takes about 0.2 s, so the sequence runs twice the
# ten seconds asked for, to meet several blinks.
BLINK_STEP = 0.05
BLINK_SECONDS = 20
# The line, shown at this many characters a second: long enough for many
# screenshots while it is being shown.
LINE = "안녕하세요. 오늘은 날씨가 참 좋네요. 같이 걸을까요?"
LINE_CPS = 12
SAY_STEP = 0.1
AFTER_LINE_SHOTS = 8
# Ren'Py's sampling smooths every layer's edges a little (renpy_check.py),
# most where the picture is most detailed: measured over the eyes, the
# mean difference to the same picture is about 10, to the other frame 75;
# over the mouth about 6 against 30. A region is the picture it is nearest
# to, by half at least, and within REGION_MEAN; a whole picture within
# PICTURE_MEAN (the sample's worst in renpy_check.py is below 0.9).
REGION_MEAN = 20
NEARER = 0.5
PICTURE_MEAN = 2.0

SAY_SCREEN = """\
## The size and the say screen of a new Ren'Py project (its gui.rpy and
## screens.rpy), without the gui images that the launcher draws for one.
define config.screen_width = 1280
define config.screen_height = 720

screen say(who, what):
    window:
        id "window"
        background None
        xfill True
        yalign 1.0
        ysize 185
        if who is not None:
            text who id "who" xpos 360 ypos 0
        text what id "what" xpos 402 ypos 50 xmaximum 1116
    add SideImage() xalign 0.0 yalign 1.0
"""


def probe(shots, speaker, crop, zoom):
    """The splash screen's blink sequence and reference name, and the overlay
    that photographs the line; it quits once the line has been complete for
    a while."""
    return """\
init python:
    import os, time
    vor_shots = %(shots)r
    vor_probe = {"phase": None, "n": 0, "after": 0, "times": []}
    config.overlay_screens.append("vor_probe")
    config.default_text_cps = %(cps)d
    preferences.text_cps = %(cps)d

    def vor_probe_shot():
        p = vor_probe
        if p["phase"] != "say":
            return
        # The line is complete once the callback said so; the next frame
        # drawn shows it (a few hundredths of a second later).
        done = store.vor_speaking is None and p["n"] > 0
        if done and "done_at" not in p:
            p["done_at"] = time.time()
        settled = done and time.time() - p["done_at"] >= 0.25
        kind = "after" if settled else "settling" if done else "during"
        renpy.screenshot(os.path.join(vor_shots, "say_%%03d_%%s.png" %% (p["n"], kind)))
        p["n"] += 1
        if settled:
            p["after"] += 1
            if p["after"] >= %(after)d:
                renpy.quit()

screen vor_probe():
    if vor_probe["phase"] == "say":
        timer %(say_step)s repeat True action Function(vor_probe_shot)

screen vor_name():
    window:
        background None
        xfill True
        yalign 1.0
        ysize 185
        text %(speaker)r style "say_label" xpos 360 ypos 0

# The pictures to compare with, shown by Ren'Py where the character and its
# side image stand (so that both went through the same sampling).
label splashscreen:
    python:
        for ref in ("still", "talk", "closed"):
            renpy.show("vor_ref", what=Image("vor_ref/%%s.png" %% ref))
            renpy.pause(0.1, hard=True)
            renpy.screenshot(os.path.join(vor_shots, "ref_%%s.png" %% ref))
        renpy.hide("vor_ref")
        renpy.show("vor_ref", what=Transform("vor_ref/still.png", crop=%(crop)s, zoom=%(zoom)s),
                   at_list=[Transform(xalign=0.0, yalign=1.0)])
        renpy.pause(0.1, hard=True)
        renpy.screenshot(os.path.join(vor_shots, "ref_side.png"))
        renpy.hide("vor_ref")
    show screen vor_name
    $ renpy.pause(0.1, hard=True)
    $ renpy.screenshot(os.path.join(vor_shots, "name.png"))
    hide screen vor_name
    $ vor_probe["phase"] = "say"
    return
""" % {"shots": shots, "cps": LINE_CPS, "after": AFTER_LINE_SHOTS, "say_step": SAY_STEP, "speaker": speaker,
       "crop": repr(crop), "zoom": repr(zoom)}


def blink_script(shots, tag, expression, style):
    """A game of the picture's size that shows the character for a while,
    photographing it all the time."""
    return """\
define config.screen_width = 360
define config.screen_height = 480
init python:
    import os, time
label start:
    scene expression Solid("#%(bg)s")
    python:
        for ref in ("still", "closed"):
            renpy.show("vor_ref", what=Image("vor_ref/%%s.png" %% ref), at_list=[topleft])
            renpy.pause(0.1, hard=True)
            renpy.screenshot(os.path.join(%(shots)r, "blinkref_%%s.png" %% ref))
        renpy.hide("vor_ref")
    show %(tag)s %(expression)s %(style)s at topleft
    python:
        start = time.time()
        times = []
        while time.time() - start < %(seconds)s:
            renpy.pause(%(step)s, hard=True)
            renpy.screenshot(os.path.join(%(shots)r, "blink_%%03d.png" %% len(times)))
            times.append(time.time() - start)
        with open(os.path.join(%(shots)r, "blink_span.txt"), "w") as f:
            f.write("%%.2f %%d" %% (times[-1], len(times)))
    $ renpy.quit()
""" % {"shots": shots, "tag": tag, "expression": expression, "style": style, "seconds": BLINK_SECONDS,
       "step": BLINK_STEP, "bg": "%02x%02x%02x" % BACKGROUND}


def framed_tree(data, out, part, frame):
    """A copy of the data tree whose every `part` shape shows `frame` in
    place of its still images in each expression that has it."""
    shutil.copytree(data, out)
    root = os.path.join(out, part)
    for shape in os.listdir(root):
        folder = os.path.join(root, shape)
        names = os.listdir(folder)
        for name in names:
            m = re.match(r"^(\w+?)%s_([abh])\.png$" % frame, name)
            if not m:
                continue
            stem = m.group(1)
            for role in "abh":
                still = os.path.join(folder, "%s_%s.png" % (stem, role))
                framed = os.path.join(folder, "%s%s_%s.png" % (stem, frame, role))
                if os.path.exists(still):
                    os.remove(still)
                if os.path.exists(framed):
                    shutil.copy(framed, still)


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    vor_cli, gen_sample, work = (os.path.abspath(a) for a in sys.argv[1:])
    if not os.path.isfile(os.path.join(renpy_check.RENPY_SOURCE, "renpy.py")):
        skip("Ren'Py is not installed (%s)" % renpy_check.RENPY_SOURCE)
    if shutil.which("Xvfb") is None:
        skip("Xvfb is not installed")
    try:
        from PIL import Image, ImageChops
    except ImportError:
        skip("python3-pil is not installed")

    started = time.time()
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    renpy = renpy_check.private_renpy(work)
    sample = os.path.join(work, "sample")
    run([gen_sample, sample])
    data = os.path.join(sample, "data")
    project_file = os.path.join(sample, "sample.vor")
    project = os.path.join(work, "project")
    game = os.path.join(project, "game")
    shots = os.path.join(work, "shots")
    os.makedirs(shots)

    written = run([vor_cli, "--data", data, "export", project_file, "--renpy", game]).split("\n")
    rpy_path = [line for line in written if line.endswith(".rpy")][-1]
    with open(rpy_path, encoding="utf-8") as f:
        rpy = f.read()
    tag, expressions, styles = renpy_check.read_names(rpy_path)
    expression = re.search(r"^# Expressions: .* \(default (\w+)\)", rpy, re.M).group(1)
    style = styles[0]
    speaker = re.search(r'^define %s = Character\("((?:[^"\\]|\\.)*)"' % tag, rpy, re.M).group(1)
    side = re.search(r'^image side %s = LayeredImageProxy\("%s", Transform\(crop=\((\d+), (\d+), (\d+), (\d+)\)'
                     r'(?:, zoom=([\d.]+))?\)\)' % (tag, tag), rpy, re.M)
    if not side:
        fail("the script has no side image of %s" % tag)
    crop = tuple(int(side.group(i)) for i in range(1, 5))
    zoom = float(side.group(5) or 1)

    flat = os.path.join(work, "flat")
    run([vor_cli, "--data", data, "export", project_file, "--out", flat])
    (name,) = os.listdir(flat)
    still_png = os.path.join(flat, name, style, expression + ".png")
    references = {}
    for part, frame in (("eye", "_close"), ("mouth", "_talk")):
        tree = os.path.join(work, "data" + frame)
        framed_tree(data, tree, part, frame)
        out = os.path.join(work, "ref" + frame + ".png")
        run([vor_cli, "--data", tree, "render", project_file, "--style", str(styles.index(style)),
             "--expression", str(expressions.index(expression)), "--out", out])
        references[frame] = out

    with open(os.path.join(game, "script.rpy"), "w", encoding="utf-8") as f:
        f.write('label start:\n    show %s\n    %s "%s"\n    return\n' % (tag, tag, LINE))
    with open(os.path.join(game, "screens.rpy"), "w", encoding="utf-8") as f:
        f.write(SAY_SCREEN)
    lint = run(["/usr/bin/python3", renpy, project, "lint"], timeout=120)
    problems = [line for line in lint.splitlines() if re.match(r"game/.*\.rpy:\d+", line)]
    if problems:
        fail("renpy lint:\n" + "\n".join(problems))

    os.makedirs(os.path.join(game, "vor_ref"))
    for name_, path_ in (("still", still_png), ("talk", references["_talk"]), ("closed", references["_close"])):
        shutil.copy(path_, os.path.join(game, "vor_ref", name_ + ".png"))
    with open(os.path.join(game, "zz_probe.rpy"), "w", encoding="utf-8") as f:
        f.write(probe(shots, speaker, crop, zoom))
    # The blinking in a game of the picture's size, where Ren'Py draws many
    # frames a second even in software.
    blink_project = os.path.join(work, "blinkgame")
    blink_game = os.path.join(blink_project, "game")
    shutil.copytree(game, blink_game, ignore=shutil.ignore_patterns("script.rpy", "screens.rpy", "zz_probe.rpy"))
    with open(os.path.join(blink_game, "script.rpy"), "w", encoding="utf-8") as f:
        f.write(blink_script(shots, tag, expression, style))
    # Room for the game's whole 1280 x 720 window, so that it is not scaled.
    xvfb, display = renpy_check.start_xvfb("1400x900x24")
    try:
        env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy")
        run(["/usr/bin/python3", renpy, project], env=env, timeout=180)
        run(["/usr/bin/python3", renpy, blink_project], env=env, timeout=180)
    finally:
        xvfb.send_signal(signal.SIGTERM)
        xvfb.wait()

    def load(path):
        try:
            return Image.open(path).convert("RGB")
        except OSError as error:
            fail("no screenshot: %s" % error)

    def mean(a, b):
        largest = [max(p) for p in ImageChops.difference(a, b).getdata()]
        return sum(largest) / len(largest)

    def region(image, box):
        return image.crop(box)

    # Where the eyes and the mouth lie: their groups' still images.
    def group_box(group):
        m = re.search(r"^    group %s:\n(?:        .*\n)*?        attribute %s .*?\"(images/[^\"]+)\"\)? pos \((\d+), (\d+)\)"
                      % (group, expression), rpy, re.M)
        if not m:
            fail("no %s group with the %s attribute in the script" % (group, expression))
        w, h = Image.open(os.path.join(game, m.group(1))).size
        x, y = int(m.group(2)), int(m.group(3))
        return (x, y, x + w, y + h)

    eyes, mouth = group_box("eyes_still"), group_box("mouth")

    # ---- blinking ---------------------------------------------------------------
    still = load(os.path.join(shots, "blinkref_still.png"))
    closed = load(os.path.join(shots, "blinkref_closed.png"))
    if mean(region(still, eyes), region(closed, eyes)) < 2 * REGION_MEAN:
        fail("the closed frame hardly differs from the open eyes")
    with open(os.path.join(shots, "blink_span.txt")) as f:
        span, count = f.read().split()
    span, count = float(span), int(count)
    if span < 10:
        fail("the blink sequence covers %.1f s" % span)
    opened = shut = 0
    worst = 0.0
    for i in range(count):
        shot = load(os.path.join(shots, "blink_%03d.png" % i))
        to_open, to_shut = mean(region(shot, eyes), region(still, eyes)), mean(region(shot, eyes), region(closed, eyes))
        if min(to_open, to_shut) > REGION_MEAN or min(to_open, to_shut) > NEARER * max(to_open, to_shut):
            fail("blink_%03d: the eyes are neither open (%.2f) nor closed (%.2f)" % (i, to_open, to_shut))
        rest = mean(shot, still if to_open < to_shut else closed)
        if rest > PICTURE_MEAN:
            fail("blink_%03d differs from its picture by %.2f" % (i, rest))
        worst = max(worst, rest)
        opened += to_open < to_shut
        shut += to_shut <= to_open
    if shut == 0 or opened < 0.8 * count:
        fail("over %.1f s, %d screenshots with open eyes and %d with closed ones" % (span, opened, shut))

    # ---- the line: the mouth moves, then rests -----------------------------------------
    # `show tag` stands the 360 x 480 picture at the bottom centre of 1280 x 720.
    ref_still = load(os.path.join(shots, "ref_still.png"))
    ref_talk = load(os.path.join(shots, "ref_talk.png"))
    ref_closed = load(os.path.join(shots, "ref_closed.png"))
    at = (460, 240)

    def on_screen(box):
        return (box[0] + at[0], box[1] + at[1], box[2] + at[0], box[3] + at[1])

    during = sorted(n for n in os.listdir(shots) if n.startswith("say_") and n.endswith("_during.png"))
    after = sorted(n for n in os.listdir(shots) if n.startswith("say_") and n.endswith("_after.png"))
    if len(during) < 5 or len(after) < AFTER_LINE_SHOTS:
        fail("%d screenshots during the line and %d after it" % (len(during), len(after)))
    talking = resting = 0
    box = on_screen(mouth)
    for n in during:
        shot = load(os.path.join(shots, n)).crop(box)
        to_still, to_talk = mean(shot, ref_still.crop(box)), mean(shot, ref_talk.crop(box))
        if min(to_still, to_talk) > REGION_MEAN or min(to_still, to_talk) > NEARER * max(to_still, to_talk):
            fail("%s: the mouth is neither still (%.2f) nor talking (%.2f)" % (n, to_still, to_talk))
        talking += to_talk < to_still
        resting += to_still <= to_talk
    if talking == 0 or resting == 0:
        fail("during the line the mouth talked in %d and rested in %d screenshots" % (talking, resting))
    # The picture's rows above the say window (its top at 720 - 185).
    above_window = on_screen((0, 0, 360, 720 - 185 - at[1]))
    for n in after:
        shot = load(os.path.join(shots, n))
        to_still, to_talk = mean(shot.crop(box), ref_still.crop(box)), mean(shot.crop(box), ref_talk.crop(box))
        if to_still > REGION_MEAN or to_still > NEARER * to_talk:
            fail("%s: after the line the mouth still moves (%.2f from the still one, %.2f from talking)"
                 % (n, to_still, to_talk))
        # The still PNG, or the same with the eyes in a blink.
        picture = shot.crop(above_window)
        if min(mean(picture, ref_still.crop(above_window)), mean(picture, ref_closed.crop(above_window))) > PICTURE_MEAN:
            fail("%s: after the line the picture is not the still PNG" % n)

    # ---- the speaker and the side image -----------------------------------------------------
    last = load(os.path.join(shots, after[-1]))
    name_ref = load(os.path.join(shots, "name.png"))
    # Left of where the character stands (from x = 460).
    name_box = (360, 535, 455, 570)
    if mean(last.crop(name_box), name_ref.crop(name_box)) > 1.0:
        fail("the name box does not show %s as Ren'Py draws it" % speaker)
    if max(max(p) for p in name_ref.crop(name_box).getdata()) < 128:
        fail("the reference name is not drawn")
    w, h = round(crop[2] * zoom), round(crop[3] * zoom)
    side_box = (0, 720 - h, w, 720)
    shown = last.crop(side_box)
    side_mean = mean(shown, load(os.path.join(shots, "ref_side.png")).crop(side_box))
    if side_mean > PICTURE_MEAN:
        fail("the side image differs from the PNG's crop by %.2f" % side_mean)
    lit = sum(1 for p in shown.getdata() if max(p) > 16) / (w * h)
    if lit < 0.3:
        fail("the side image is nearly empty (%.0f%% lit)" % (lit * 100))
    print("renpy_speaker_check: lint clean; over %.1f s %d screenshots with open eyes and %d closed; during the line "
          "the mouth talked in %d of %d, after it rested in all %d; the name box shows %s; the %d x %d side image "
          "is the PNG's crop within %.2f (worst blink frame %.2f); %.0f s"
          % (span, opened, shut, talking, len(during), len(after), speaker, w, h, side_mean, worst,
             time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
