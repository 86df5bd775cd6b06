#!/usr/bin/env python3
"""The layered files of `vor-cli export --layered`, read by programs that are
not ours: psd-tools for PSD, Python's zipfile and xml with Pillow for
OpenRaster, and with --krita the paint program Krita itself, which converts
one file of each kind back to PNG under Xvfb.

Usage: layered_files_check.py VOR_CLI VOR_GEN_SAMPLE [--krita]
Exit 0 when every check passes, 1 on a failure, 77 (skipped) when the
readers are not installed.
"""
import io
import os
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET
import zipfile

try:
    import numpy as np
    from PIL import Image
    from psd_tools import PSDImage
    from psd_tools.constants import Compression
except ImportError as missing:
    print(f"skipped: {missing} (install python3-psd-tools and python3-pil)")
    sys.exit(77)

# The depth list's fixed entries in paint order, back-most first. A hair
# half's band follows its hair, and a highlight under the band follows the
# band with the hair's name.
FIXED_NAMES = ["뒷머리", "피부", "쌍커플", "복장", "앞머리", "눈썹", "볼", "눈", "입"]
HAIR_NAMES, BAND_NAME = ("뒷머리", "앞머리"), "머리끈"
WIDTH, HEIGHT = 360, 480
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def rgba(image):
    return np.asarray(image.convert("RGBA")).astype(int)


def within_one(a, b, tolerance=1):
    """Alpha within 1 everywhere, colour within 1 wherever `b` shows."""
    if a.shape != b.shape:
        return False
    shows = b[..., 3] > 0
    return (np.abs(a[..., 3] - b[..., 3]).max() <= tolerance and
            (not shows.any() or np.abs(a[..., :3] - b[..., :3])[shows].max() <= tolerance))


def placed(image, x, y):
    canvas = Image.new("RGBA", (WIDTH, HEIGHT), (0, 0, 0, 0))
    canvas.paste(image.convert("RGBA"), (x, y))
    return canvas


def compose(layers):
    """Layers (image, x, y), back-most first, over transparency."""
    canvas = Image.new("RGBA", (WIDTH, HEIGHT), (0, 0, 0, 0))
    for image, x, y in layers:
        canvas = Image.alpha_composite(canvas, placed(image, x, y))
    return rgba(canvas)


def trimmed(path):
    image = Image.open(path).convert("RGBA")
    box = image.getchannel("A").getbbox()
    return (image.crop(box), box[0], box[1]) if box else None


def run(args, cwd):
    result = subprocess.run(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if result.returncode != 0:
        print(result.stderr.decode(errors="replace"))
        raise SystemExit(f"{args[0]} failed with {result.returncode}")
    return result.stdout


def files_below(folder):
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            found[os.path.relpath(path, folder)] = path
    return found


def accessory_names(cli, sample):
    names = set()
    for line in run([cli, "--encoding", "cp949", "catalog"], sample).decode("cp949").splitlines():
        fields = line.split("\t")
        if fields[0] == "accessory":
            names.add(fields[3])
    return names


def ora_layers(path):
    """(name, image, x, y) of an OpenRaster file's stack, back-most first."""
    with zipfile.ZipFile(path) as z:
        root = ET.fromstring(z.read("stack.xml"))
        layers = [(e.get("name"), Image.open(io.BytesIO(z.read(e.get("src")))), int(e.get("x")), int(e.get("y")))
                  for e in root.find("stack").findall("layer")]
    return list(reversed(layers))


def check_names(names, accessories, where):
    fixed = [n for n in names if n not in accessories]
    bands = [i for i, n in enumerate(fixed) if n == BAND_NAME]
    check(all(i > 0 and fixed[i - 1] in HAIR_NAMES for i in bands), f"{where}: a band not above its hair {fixed}")
    fixed = [n for i, n in enumerate(fixed)
             if n != BAND_NAME and not (i > 1 and fixed[i - 1] == BAND_NAME and fixed[i - 2] == n)]
    check(all(n in FIXED_NAMES for n in fixed), f"{where}: unknown layer names {fixed}")
    check(fixed == sorted(fixed, key=FIXED_NAMES.index), f"{where}: fixed layers out of paint order {fixed}")
    check(len(set(fixed)) == len(fixed), f"{where}: a fixed layer twice {fixed}")


def body_images(sample):
    data = os.path.join(sample, "data")
    paths = [os.path.join(data, "body", "sotai.png")]
    dresses = os.path.join(data, "dress")
    paths += [os.path.join(dresses, d, "sotai.png") for d in sorted(os.listdir(dresses))]
    return [trimmed(p) for p in paths if os.path.exists(p)]


def check_psd(path, png, ora, accessories, bodies):
    where = os.path.basename(path)
    raw = open(path, "rb").read()
    check(raw[:4] == b"8BPS" and raw[4:6] == b"\0\1", f"{where}: not a version 1 PSD")
    psd = PSDImage.open(path)
    check((psd.width, psd.height, psd.depth, psd.channels, int(psd.color_mode)) == (WIDTH, HEIGHT, 8, 4, 3),
          f"{where}: header {psd.width}x{psd.height} depth {psd.depth} channels {psd.channels}")
    layers = list(psd)
    names = [layer.name for layer in layers]
    check(names == [n for n, _, _, _ in ora], f"{where}: names {names} differ from the OpenRaster stack")
    check_names(names, accessories, where)
    info = psd._record.layer_and_mask_information.layer_info
    for record, channels in zip(info.layer_records, info.channel_image_data):
        name = record.name.encode("macroman", errors="replace").decode("cp949", errors="replace")
        check(name == record.tagged_blocks.get_data(b"luni"), f"{where}: Pascal name {name!r} is not the CP949 name")
        check(all(c.compression == Compression.RLE for c in channels), f"{where}: a channel not RLE")
        check(sorted(c.id for c in record.channel_info) == [-1, 0, 1, 2], f"{where}: channels of {name}")
    check(psd._record.image_data.compression == Compression.RLE, f"{where}: merged image not RLE")

    for layer, (name, image, x, y) in zip(layers, ora):
        check(layer.kind == "pixel" and layer.visible and layer.opacity == 255, f"{where}: {name} not a plain layer")
        check((layer.left, layer.top) == (x, y), f"{where}: {name} at {layer.left},{layer.top}, not {x},{y}")
        pixels = rgba(layer.topil())
        check(pixels.shape == rgba(image).shape and (pixels == rgba(image)).all(),
              f"{where}: {name}'s pixels differ from the OpenRaster layer")
        if name == "피부":
            check(any(b is not None and (b[1], b[2]) == (x, y) and (rgba(b[0]) == pixels).all() for b in bodies),
                  f"{where}: the body layer is not a body image trimmed and placed")

    picture = rgba(Image.open(png))
    check(within_one(compose([(l.topil(), l.left, l.top) for l in layers]), picture),
          f"{where}: the layers composed by Pillow are not the picture")
    # psd-tools composes in floating point and truncates (an opaque layer over
    # others can come out at alpha 254), so its own picture is one step
    # further off than a compositor that rounds.
    check(within_one(rgba(psd.composite(force=True)), picture, 2), f"{where}: psd-tools' composite is not the picture")
    merged = rgba(psd.topil())
    premultiplied = np.abs(merged[..., :3] * picture[..., 3:] - picture[..., :3] * picture[..., 3:]) / 255
    check((merged[..., 3] == picture[..., 3]).all() and premultiplied.max() <= 1,
          f"{where}: the merged image is not the picture")
    return len(layers), os.path.getsize(path) / os.path.getsize(png)


def check_ora(path, png, accessories):
    where = os.path.basename(path)
    raw = open(path, "rb").read()
    check(raw[30:38] == b"mimetype" and raw[38:54] == b"image/openraster",
          f"{where}: mimetype is not the first entry, stored, without extra field")
    with zipfile.ZipFile(path) as z:
        entries = z.infolist()
        check(z.testzip() is None, f"{where}: an entry's CRC is wrong")
        check(entries[0].filename == "mimetype" and entries[0].compress_type == zipfile.ZIP_STORED,
              f"{where}: first entry {entries[0].filename}")
        check(z.read("mimetype") == b"image/openraster", f"{where}: mimetype text")
        names = [e.filename for e in entries]
        for needed in ("stack.xml", "mergedimage.png", "Thumbnails/thumbnail.png"):
            check(needed in names, f"{where}: no {needed}")
        check(all(e.compress_type == zipfile.ZIP_STORED for e in entries if e.filename.endswith(".png")),
              f"{where}: a PNG entry compressed again")
        root = ET.fromstring(z.read("stack.xml"))
        check(root.tag == "image" and root.get("version") == "0.0.6" and
              (root.get("w"), root.get("h")) == (str(WIDTH), str(HEIGHT)), f"{where}: image element {root.attrib}")
        sources = [e.get("src") for e in root.find("stack").findall("layer")]
        check(all(s.startswith("data/") and s.endswith(".png") and s in names for s in sources),
              f"{where}: layer sources {sources}")
        check(z.read("mergedimage.png") == open(png, "rb").read(), f"{where}: mergedimage.png is not the picture")
        thumbnail = Image.open(io.BytesIO(z.read("Thumbnails/thumbnail.png")))
        check(max(thumbnail.size) <= 256, f"{where}: thumbnail {thumbnail.size}")
    layers = ora_layers(path)
    check_names([n for n, _, _, _ in layers], accessories, where)
    check(within_one(compose([(i, x, y) for _, i, x, y in layers]), rgba(Image.open(png))),
          f"{where}: the stack composed by Pillow is not the picture")
    return layers


def free_display():
    for n in range(150, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return f":{n}"
    return None


def check_krita(pairs, work):
    """Krita converts one file of each kind back to PNG; each equals its picture."""
    krita, xvfb = shutil.which("krita"), shutil.which("Xvfb")
    if not krita or not xvfb:
        print("skipped: krita or Xvfb is not installed")
        return 77
    display = free_display()
    server = subprocess.Popen([xvfb, display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(2)
        for layered, png in pairs:
            out = os.path.join(work, os.path.basename(layered) + ".krita.png")
            start = time.time()
            result = subprocess.run([krita, layered, "--export", "--export-filename", out],
                                    env=dict(os.environ, DISPLAY=display), stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, timeout=800)
            print(f"krita converted {os.path.basename(layered)} in {time.time() - start:.0f} s")
            if check(result.returncode == 0 and os.path.exists(out), f"krita could not convert {layered}"):
                check(within_one(rgba(Image.open(out)), rgba(Image.open(png))),
                      f"{os.path.basename(layered)}: Krita's picture is not the exported one")
    finally:
        server.terminate()
        server.wait()
    return 0


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    cli, generator = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        sample = os.path.join(work, "sample")
        run([generator, sample], work)
        accessories = accessory_names(cli, sample)
        outputs = {}
        for kind, extra in (("plain", ["-j", "1"]), ("psd", ["-j", "2", "--layered", "psd"]),
                            ("ora", ["--layered", "ora"])):
            outputs[kind] = os.path.join(work, kind)
            run([cli, "export", "sample.vor", "--out", outputs[kind]] + extra, sample)
        plain, psd, ora = (files_below(outputs[k]) for k in ("plain", "psd", "ora"))
        pictures = sorted(p for p in plain if p.endswith(".png"))
        check(len(pictures) > 0, "no pictures exported")
        for name, path in plain.items():
            for other in (psd, ora):
                check(name in other and open(other[name], "rb").read() == open(path, "rb").read(),
                      f"{name} is not the same bytes with a layered file")
        check(len(psd) == len(ora) == len(plain) + len(pictures), "not one layered file per picture")

        bodies = body_images(sample)
        ratios, layer_counts = [], []
        for picture in pictures:
            base = picture[:-4]
            layers = check_ora(ora[base + ".ora"], plain[picture], accessories)
            count, ratio = check_psd(psd[base + ".psd"], plain[picture], layers, accessories, bodies)
            layer_counts.append(count)
            ratios.append(ratio)
        check(any(BAND_NAME in (n for n, _, _, _ in ora_layers(ora[p[:-4] + ".ora"])) for p in pictures),
              "no picture has a hair band layer")
        print(f"{len(pictures)} pictures, {min(layer_counts)}-{max(layer_counts)} layers each; "
              f"PSD size / PNG size {min(ratios):.2f}-{max(ratios):.2f}")

        if "--krita" in sys.argv[3:]:
            first = pictures[0][:-4]
            status = check_krita([(psd[first + ".psd"], plain[pictures[0]]),
                                  (ora[first + ".ora"], plain[pictures[0]])], work)
            if status == 77 and not failures:
                return 77
    print("FAILED" if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
