#!/usr/bin/env python3
"""Checks of the built skin that belong to its build, not to the UI framework.

    check_skin.py images      --files DIR --layouts L.xml...
    check_skin.py archive     --7zz PATH --archive SKIN.7z --files DIR --layouts L.xml...
    check_skin.py determinism --generator skin_gen.py --files DIR --icon FILE.ico

Each prints one line per failed expectation and exits non-zero when any failed.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

# Named by the layouts but not in the skin: the disabled window buttons.
KNOWN_ABSENT = {r'res\common\minbtn4.png', r'res\common\closebtn4.png', r'res\common\closebtnM_4.png'}
# Set by the main window at run time (page backgrounds), not named in any layout.
RUNTIME_IMAGES = {r'res\mainWnd\bg2.png': (600, 400), r'res\mainWnd\bg3.png': (600, 400),
                  r'res\mainWnd\bg4.png': (600, 400)}
IMAGE_ATTRIBUTES = ('bkimage', 'normalimage', 'hotimage', 'pushedimage', 'focusedimage', 'disabledimage',
                    'selectedimage', 'selectedhotimage', 'foreimage', 'hotforeimage')
# Attribute names the framework reads, per element (a misspelt name would silently become
# a custom attribute that draws nothing), and the custom ones the skin keeps on purpose.
_CONTROL = {'pos', 'width', 'height', 'minwidth', 'minheight', 'maxwidth', 'maxheight', 'padding', 'float',
            'visible', 'bkcolor', 'bkcolor2', 'bkcolor3', 'bordercolor', 'focusbordercolor', 'bordersize',
            'borderstyle', 'borderround', 'colorhsl', 'bkimage', 'name', 'text', 'tooltip', 'userdata', 'tag',
            'enabled', 'mouse', 'keyboard', 'shortcut', 'menu', 'virtualwnd', 'cover'}
_CONTAINER = _CONTROL | {'inset', 'childpadding', 'childalign', 'childvalign', 'sepwidth', 'sepheight', 'sepimm'}
_LABEL = _CONTROL | {'align', 'valign', 'endellipsis', 'font', 'textcolor', 'disabledtextcolor', 'textpadding',
                     'multiline', 'showhtml'}
_BUTTON = _LABEL | {'normalimage', 'hotimage', 'pushedimage', 'focusedimage', 'disabledimage', 'foreimage',
                    'hotforeimage', 'fivestatusimage', 'fadedelta', 'hotbkcolor', 'pushedbkcolor', 'disabledbkcolor',
                    'hottextcolor', 'pushedtextcolor', 'focusedtextcolor', 'hotborercolor', 'pushedbordercolor'}
KNOWN_ATTRIBUTES = {
    'Window': {'size', 'caption', 'sizebox', 'roundcorner', 'mininfo', 'maxinfo', 'showdirty', 'noactivate',
               'opacity', 'layeredopacity', 'layeredimage', 'defaultfontcolor', 'disabledfontcolor',
               'linkfontcolor', 'linkhoverfontcolor', 'selectedcolor', 'showshadow', 'shadowsize',
               'shadowsharpness', 'shadowdarkness', 'shadowposition', 'shadowcolor'},
    'Font': {'id', 'name', 'size', 'bold', 'underline', 'italic', 'default', 'shared'},
    'Control': _CONTROL,
    'VerticalLayout': _CONTAINER, 'HorizontalLayout': _CONTAINER, 'TabLayout': _CONTAINER | {'selectedid'},
    'Label': _LABEL,
    'Button': _BUTTON,
    'CheckBox': _BUTTON | {'group', 'selected', 'selectedimage', 'selectedhotimage', 'selectedbkcolor',
                           'selectedtextcolor'},
    'Edit': _LABEL | {'readonly', 'numberonly', 'password', 'autoselall', 'maxchar', 'normalimage', 'hotimage',
                      'focusedimage', 'disabledimage', 'nativebkcolor', 'nativetextcolor', 'tipvaluecolor',
                      'tipvalue'},
    'Progress': _LABEL | {'foreimage', 'hor', 'min', 'max', 'value', 'isstretchfore'},
    'SequenceLabel': _LABEL | {'sequencebkimage', 'sequencecount', 'sequencespan', 'sequenceloop', 'sequenceround',
                               'autostart'},
}
TOTAL_SIZE_RANGE = (1_000_000, 1_400_000)   # "about 1.2 MB of files"
MIN_STATE_DIFFERENCE = 4.0    # mean absolute channel difference between state images, 0..255
LOOP_SEAM_TOLERANCE = 1.5     # largest frame-to-frame step relative to the typical one

failures = []


def fail(msg):
    failures.append(msg)
    print('FAILED: ' + msg)


# ---------------------------------------------------------------------------
# PNG reading (any filter), enough for sizes and pixel comparisons

def png_size(path):
    with open(path, 'rb') as fh:
        head = fh.read(24)
    if head[:8] != b'\x89PNG\r\n\x1a\n' or head[12:16] != b'IHDR':
        raise ValueError('%s is not a PNG' % path)
    return struct.unpack('>II', head[16:24])


def png_rgba(path):
    data = open(path, 'rb').read()
    pos, idat = 8, b''
    w = h = None
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b'IHDR':
            w, h, depth, ctype = struct.unpack('>IIBB', body[:10])
            if (depth, ctype) != (8, 6):
                raise ValueError('%s is not 8-bit RGBA' % path)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    stride = w * 4
    out = bytearray()
    prev = bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in (range(stride) if f else ()):
            a = row[x - 4] if x >= 4 else 0
            b = prev[x]
            c = prev[x - 4] if x >= 4 else 0
            if f == 1:
                row[x] = (row[x] + a) & 255
            elif f == 2:
                row[x] = (row[x] + b) & 255
            elif f == 3:
                row[x] = (row[x] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[x] = (row[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += row
        prev = row
    return w, h, bytes(out)


def mean_difference(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


# ---------------------------------------------------------------------------
# what the layouts ask for

def parse_image_value(value):
    """(name, dest size or None) of an image attribute value."""
    pairs = dict(re.findall(r"(\w+)='([^']*)'", value))
    if not pairs:
        return value, None
    dest = pairs.get('dest')
    size = None
    if dest:
        l, t, r, b = (int(v) for v in dest.split(','))
        size = (r - l, b - t)
    return pairs.get('file', ''), size


def required_images(layouts):
    """{archive name: {(w, h), ...}} for every image the layouts name, from the size of
    the control that shows it (its width/height, its row's height, the window size for
    the root, or the 'dest' rectangle)."""
    need = {}
    for path in layouts:
        root = ET.parse(path).getroot()
        window_size = tuple(int(v) for v in root.get('size').split(','))
        parents = {child: parent for parent in root.iter() for child in parent}
        for el in root.iter():
            for attr in IMAGE_ATTRIBUTES + ('sequencebkimage',):
                value = el.get(attr)
                if not value:
                    continue
                name, size = parse_image_value(value)
                if size is None:
                    size = control_size(el, parents, window_size)
                names = [name]
                if attr == 'sequencebkimage':
                    names = [name % i for i in range(int(el.get('sequencecount')))]
                for n in names:
                    need.setdefault(n.replace('/', '\\'), set()).add(size)
    return need


def control_size(el, parents, window_size):
    parent = parents.get(el)
    if parent is not None and parent.tag == 'Window':
        return window_size
    w, h = el.get('width'), el.get('height')
    if h is None and parent is not None and parent.tag == 'HorizontalLayout':
        h = parent.get('height')
    if w is None or h is None:
        raise ValueError('cannot tell the size of <%s name="%s">' % (el.tag, el.get('name', '')))
    return int(w), int(h)


def image_names(files):
    with open(os.path.join(files, 'images.txt'), encoding='utf-8') as fh:
        return [line.strip() for line in fh if line.strip()]


def local_path(files, name):
    return os.path.join(files, *name.split('\\'))


# ---------------------------------------------------------------------------

def check_attribute_names(layouts):
    for path in layouts:
        for el in ET.parse(path).getroot().iter():
            known = KNOWN_ATTRIBUTES.get(el.tag)
            if known is None:
                fail('%s: unexpected element <%s>' % (os.path.basename(path), el.tag))
                continue
            for attr in sorted(set(el.keys()) - known):
                fail('%s: <%s name="%s"> has no attribute %s' % (os.path.basename(path), el.tag,
                                                                 el.get('name', ''), attr))


def check_images(args):
    check_attribute_names(args.layouts)
    need = required_images(args.layouts)
    for name, size in RUNTIME_IMAGES.items():
        need.setdefault(name, set()).add(size)
    made = set(image_names(args.files))

    for name in sorted(need):
        sizes = need[name]
        if name in KNOWN_ABSENT:
            if name in made:
                fail('%s should stay absent from the skin' % name)
            continue
        if name not in made:
            fail('%s is named by a layout but not generated' % name)
            continue
        if len(sizes) > 1:
            fail('%s is shown at several sizes %s' % (name, sorted(sizes)))
        actual = png_size(local_path(args.files, name))
        if actual not in sizes:
            fail('%s is %dx%d, its control needs %s' % (name, actual[0], actual[1], sorted(sizes)))
    for name in sorted(made - set(need)):
        fail('%s is generated but no layout or page uses it' % name)

    # normal, hot and pushed images must be told apart at a glance
    for path in args.layouts:
        for el in ET.parse(path).getroot().iter():
            states = [el.get(a) for a in ('normalimage', 'hotimage', 'pushedimage') if el.get(a)]
            if len(states) < 2:
                continue
            pixels = [png_rgba(local_path(args.files, parse_image_value(v)[0].replace('/', '\\')))[2]
                      for v in states]
            for i in range(len(pixels)):
                for j in range(i + 1, len(pixels)):
                    d = mean_difference(pixels[i], pixels[j])
                    if d < MIN_STATE_DIFFERENCE:
                        fail('%s: state images %d and %d differ by only %.2f' % (el.get('name'), i, j, d))

    # the animation is smooth and loops without a jump: every step between neighbouring
    # frames, the one from the last frame back to the first included, is close to the
    # typical step, and none is zero
    frames = sorted(n for n in made if '\\installBtnAnimate\\' in n)
    pixels = [png_rgba(local_path(args.files, n))[2] for n in frames]
    steps = [mean_difference(pixels[i], pixels[(i + 1) % len(pixels)]) for i in range(len(pixels))]
    typical = sorted(steps)[len(steps) // 2]
    for i, step in enumerate(steps):
        if step <= 0.0:
            fail('animation frames %s and %s are identical' % (frames[i], frames[(i + 1) % len(frames)]))
        elif step > typical * LOOP_SEAM_TOLERANCE:
            fail('the animation jumps from %s to %s: %.2f against a typical %.2f'
                 % (frames[i], frames[(i + 1) % len(frames)], step, typical))

    if args.contact_sheet and not os.path.isfile(args.contact_sheet):
        fail('no contact sheet at %s' % args.contact_sheet)


def check_archive(args):
    listing = subprocess.run([args.seven_zip, 'l', '-slt', args.archive], stdout=subprocess.PIPE,
                             check=True).stdout.decode('utf-8')
    head, _, body = listing.partition('----------')
    if not re.search(r'^Method = LZMA2', head, re.M):
        fail('archive method is not LZMA2')
    if not re.search(r'^Solid = \+', head, re.M):
        fail('archive is not solid')
    if not re.search(r'^Blocks = 1$', head, re.M):
        fail('archive is not one solid block')
    entries = {}
    for block in body.strip().split('\n\n'):
        props = dict(line.split(' = ', 1) for line in block.splitlines() if ' = ' in line)
        if 'Path' in props:
            entries[props['Path']] = props
    expected = {os.path.basename(p) for p in args.layouts} | set(image_names(args.files))
    for name in sorted(expected - set(entries)):
        fail('archive lacks %s' % name)
    for name in sorted(set(entries) - expected):
        fail('archive holds an unexpected entry %s' % name)
    for name, props in entries.items():
        if '/' in name:
            fail('%s is stored with "/"; the lookup compares against "\\"' % name)
        if props.get('Folder') == '+':
            fail('%s is a directory entry' % name)
        if props.get('Modified'):
            fail('%s carries a time stamp (the archive would not be reproducible)' % name)
    total = sum(int(p.get('Size', 0)) for p in entries.values())
    if not TOTAL_SIZE_RANGE[0] <= total <= TOTAL_SIZE_RANGE[1]:
        fail('skin files total %d bytes, expected about 1.2 MB' % total)


def check_determinism(args):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, 'files')
        icon = os.path.join(tmp, 'parlino.ico')
        subprocess.run([sys.executable, '-B', args.generator, '--out', out, '--icon', icon], check=True)
        names = image_names(out) + ['images.txt']
        if names[:-1] != image_names(args.files):
            fail('the image list differs between two runs')
        for name in names:
            a = open(local_path(out, name), 'rb').read()
            b = open(local_path(args.files, name), 'rb').read()
            if a != b:
                fail('%s differs between two runs' % name)
        if open(icon, 'rb').read() != open(args.icon, 'rb').read():
            fail('the window icon differs between two runs')


def main():
    ap = argparse.ArgumentParser()
    sub = ap.add_subparsers(dest='cmd', required=True)
    p = sub.add_parser('images')
    p.add_argument('--files', required=True)
    p.add_argument('--layouts', nargs='+', required=True)
    p.add_argument('--contact-sheet')
    p = sub.add_parser('archive')
    p.add_argument('--7zz', dest='seven_zip', required=True)
    p.add_argument('--archive', required=True)
    p.add_argument('--files', required=True)
    p.add_argument('--layouts', nargs='+', required=True)
    p = sub.add_parser('determinism')
    p.add_argument('--generator', required=True)
    p.add_argument('--files', required=True)
    p.add_argument('--icon', required=True)
    args = ap.parse_args()
    {'images': check_images, 'archive': check_archive, 'determinism': check_determinism}[args.cmd](args)
    print('%s: %s' % (args.cmd, 'FAILED (%d)' % len(failures) if failures else 'ok'))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
