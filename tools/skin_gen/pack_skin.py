#!/usr/bin/env python3
"""Packs the skin into one solid LZMA2 7z archive.

    pack_skin.py --7zz PATH --layouts FILE.xml... --images DIR --out SKIN.7z

DIR is the generator's output (DIR/images.txt names every image as the layouts write
it, e.g. res\\mainWnd\\bg1.png). Inside the archive the layouts sit at the top level
and every image is stored under exactly that name, with '\\' separators: the skin's
archive lookup turns '/' into '\\' and then compares whole names, so the stored names
must use '\\'. The layouts are also copied into DIR so that DIR is a complete loose
copy of the skin.

The archive is reproducible: fixed entry order, no timestamps, fixed attributes,
single-threaded compression. It is written to a temporary name and renamed, so a
failed run never leaves a partial archive behind.
"""
import argparse
import os
import shutil
import subprocess
import sys

FILE_MODE = 0o644
FIXED_MTIME = 1609459200  # 2021-01-01; the archive stores no times, this keeps the stage tidy
SEVEN_ZIP_SWITCHES = ['-t7z', '-m0=lzma2', '-ms=on', '-mx=9', '-mmt=1',
                      '-mtm=off', '-mtc=off', '-mta=off', '-bd', '-bso0', '-bsp0', '-y', '-spd']


def main(argv=None):
    ap = argparse.ArgumentParser(description='Packs the skin archive.')
    ap.add_argument('--7zz', dest='seven_zip', required=True)
    ap.add_argument('--layouts', nargs='+', required=True)
    ap.add_argument('--images', required=True)
    ap.add_argument('--out', required=True)
    args = ap.parse_args(argv)

    with open(os.path.join(args.images, 'images.txt'), encoding='utf-8') as fh:
        images = [line.strip() for line in fh if line.strip()]

    stage = args.out + '.stage'
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    entries = []
    for layout in args.layouts:
        name = os.path.basename(layout)
        _stage_file(layout, os.path.join(stage, name))
        shutil.copyfile(layout, os.path.join(args.images, name))
        entries.append(name)
    for name in images:
        if '/' in name:
            sys.exit('pack_skin: image names use backslashes: %s' % name)
        _stage_file(os.path.join(args.images, *name.split('\\')), os.path.join(stage, name))
        entries.append(name)

    list_file = os.path.join(stage, '..', os.path.basename(args.out) + '.list')
    with open(list_file, 'w', encoding='utf-8') as fh:
        fh.write('\n'.join(entries) + '\n')
    tmp = args.out + '.tmp'
    if os.path.exists(tmp):
        os.remove(tmp)
    cmd = [args.seven_zip, 'a'] + SEVEN_ZIP_SWITCHES + ['-scsUTF-8', os.path.abspath(tmp),
                                                         '@' + os.path.abspath(list_file)]
    run = subprocess.run(cmd, cwd=stage, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if run.returncode != 0:
        sys.stderr.write(run.stdout.decode('utf-8', 'replace'))
        sys.exit('pack_skin: 7zz failed with exit code %d' % run.returncode)
    os.replace(tmp, args.out)
    shutil.rmtree(stage, ignore_errors=True)
    return 0


def _stage_file(src, dst):
    if not os.path.isfile(src):
        sys.exit('pack_skin: missing input %s' % src)
    shutil.copyfile(src, dst)
    os.chmod(dst, FILE_MODE)
    os.utime(dst, (FIXED_MTIME, FIXED_MTIME))


if __name__ == '__main__':
    sys.exit(main())
