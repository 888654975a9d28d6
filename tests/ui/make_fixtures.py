#!/usr/bin/env python3
"""Builds the small skin archives the ui tests read (deterministic, a few KB).

usage: make_fixtures.py OUTDIR 7ZZ
Writes OUTDIR/skin_small.7z (solid LZMA2, paths stored with '\\' like the product
skin), OUTDIR/skin_copy.7z (the same files packed from folders, stored with '/', no
compression), OUTDIR/skin_bomb.7z (40 MiB of zeros), OUTDIR/skin_broken.7z (a layout that does not parse) and
OUTDIR/pixels.png.
"""
import os
import shutil
import struct
import subprocess
import sys
import zlib


def png(width, height, rgba_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


# One row: transparent (with colour that must vanish), half-transparent white, opaque
# colour, opaque red (the mask test), quarter-transparent colour.
PIXELS = [[10, 20, 30, 0, 255, 255, 255, 128, 0x12, 0x34, 0x56, 255, 255, 0, 0, 255, 200, 100, 50, 64]]

LAYOUT = """<?xml version="1.0" encoding="utf-8"?>
<!-- fixture layout -->
<Window size="600,400" caption="0,0,0,35" showshadow="true">
  <Font id="0" name="微软雅黑" size="14" default="true" />
  <Default name="Button" value="normalimage=&quot;res\\common\\btn1.png&quot; hotimage=&quot;res\\common\\nodefault.png&quot;" />
  <VerticalLayout name="winCtn" bkimage="res\\mainWnd\\bg1.png">
    <Button name="a" normalimage="res/mainWnd/BG1.PNG" hotimage="file='res\\common\\btn1.png' fade='255'" pushedimage="color='#FF00FF00'" disabledimage="res\\common\\missing1.png" />
    <Label text="&lt;b&gt; &amp;amp;" foreimage="file='res/common/missing2.png' corner='2,2,2,2'" />
    <SequenceLabel name="seq" sequencebkimage="res\\mainWnd\\anim\\%.3d.png" sequencecount="3" />
    <Label bkimage="res\\common\\missing1.png" />
  </VerticalLayout>
</Window>
"""

EXIT_LAYOUT = """<Window size="360,180"><VerticalLayout bkcolor="#FFFFFFFF"><Label text="x" /></VerticalLayout></Window>"""


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def pack_flat(sevenzip, stage, target, switches, names):
    """Packs the files of stage whose names hold literal backslashes, stored under
    exactly those names (like the product skin): the archive lookup turns '/' into '\\'
    in the name it is asked for, never in the stored one."""
    if os.path.exists(target):
        os.remove(target)
    list_file = os.path.join(os.path.dirname(stage), os.path.basename(target) + ".list")
    with open(list_file, "w", encoding="utf-8") as fh:
        fh.write("\n".join(names) + "\n")
    subprocess.run([sevenzip, "a", "-t7z", "-bd", "-bso0", "-spd", "-scsUTF-8", "-mtm=off", "-mtc=off", "-mta=off"]
                   + switches + [os.path.abspath(target), "@" + os.path.abspath(list_file)], cwd=stage, check=True)
    os.remove(list_file)


def main():
    out, sevenzip = sys.argv[1], sys.argv[2]
    stage = os.path.join(out, "stage")
    shutil.rmtree(stage, ignore_errors=True)
    pixels = png(5, 1, PIXELS)
    write(os.path.join(out, "pixels.png"), pixels)
    files = {
        "mainWnd.xml": LAYOUT.encode("utf-8"),
        "exitTipWnd.xml": EXIT_LAYOUT.encode("utf-8"),
        "res\\mainWnd\\bg1.png": pixels,
        "res\\common\\btn1.png": png(1, 1, [[1, 2, 3, 255]]),
        "res\\common\\tall.png": png(1, 2, [[255, 0, 0, 255], [0, 0, 255, 255]]),
        "empty.txt": b"",
        "big.bin": b"\0" * (0x400000 + 1),
    }
    for frame in range(2):  # frame 002 is missing on purpose
        files["res\\mainWnd\\anim\\%03d.png" % frame] = png(1, 1, [[frame, 0, 0, 255]])
    for name, data in files.items():
        write(os.path.join(stage, name), data)
    os.makedirs(os.path.join(stage, "emptydir"), exist_ok=True)
    pack_flat(sevenzip, stage, os.path.join(out, "skin_small.7z"), ["-m0=lzma2", "-ms=on"],
              sorted(files) + ["emptydir"])
    shutil.rmtree(stage)

    # The same files from folders, stored (no compression): 7-Zip keeps '/' in the paths.
    for name, data in files.items():
        write(os.path.join(stage, *name.split("\\")), data)
    os.makedirs(os.path.join(stage, "emptydir"), exist_ok=True)
    target = os.path.join(out, "skin_copy.7z")
    if os.path.exists(target):
        os.remove(target)
    subprocess.run([sevenzip, "a", "-t7z", "-bd", "-bso0", "-mtm=off", "-mtc=off", "-mta=off", "-m0=copy",
                    os.path.abspath(target), "."], cwd=stage, check=True)
    shutil.rmtree(stage)

    # An archive whose solid block unpacks to more than the reader may allocate.
    write(os.path.join(stage, "a.xml"), b"<Window/>")
    write(os.path.join(stage, "zeros.bin"), b"\0" * (40 << 20))
    target = os.path.join(out, "skin_bomb.7z")
    if os.path.exists(target):
        os.remove(target)
    subprocess.run([sevenzip, "a", "-t7z", "-bd", "-bso0", "-m0=lzma2", "-ms=on", os.path.abspath(target), "."],
                   cwd=stage, check=True)
    shutil.rmtree(stage)

    # A skin with a layout that does not parse.
    write(os.path.join(stage, "mainWnd.xml"), b"<Window><Label text='x'/></Window>")
    write(os.path.join(stage, "exitTipWnd.xml"), EXIT_LAYOUT.encode("utf-8"))
    target = os.path.join(out, "skin_broken.7z")
    if os.path.exists(target):
        os.remove(target)
    subprocess.run([sevenzip, "a", "-t7z", "-bd", "-bso0", os.path.abspath(target), "."], cwd=stage, check=True)
    shutil.rmtree(stage)


if __name__ == "__main__":
    main()
