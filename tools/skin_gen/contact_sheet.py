"""One PNG that shows the whole skin at once: the four pages and three dialogs
assembled from the images at their layout positions (text is drawn by the UI, so the
mock-ups carry none), then every image on a checkerboard, then all animation frames.
Works on straight 8-bit RGBA so that it stays fast."""
import pngio

SHEET_W = 1280
MARGIN = 16
GAP = 12
SHEET_BG = (236, 239, 244)
CHECK_A, CHECK_B = (255, 255, 255), (214, 219, 228)
CHECK_CELL = 8
FRAME_SCALE = 2          # animation frames shown at half size
FRAMES_PER_ROW = 11
SHEET_ZLIB_LEVEL = 6     # looked at, never shipped: quicker to compress


class Sheet:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = bytearray(bytes((colour[0], colour[1], colour[2], 255)) * (w * h))

    def rect(self, x, y, w, h, colour):
        line = bytes((colour[0], colour[1], colour[2], 255)) * w
        for yy in range(y, y + h):
            i = (yy * self.w + x) * 4
            self.px[i:i + w * 4] = line

    def checker(self, x, y, w, h):
        for yy in range(h):
            row = bytearray()
            for xx in range(w):
                c = CHECK_A if ((xx // CHECK_CELL) + (yy // CHECK_CELL)) % 2 == 0 else CHECK_B
                row += bytes((c[0], c[1], c[2], 255))
            i = ((y + yy) * self.w + x) * 4
            self.px[i:i + w * 4] = row

    def blit(self, rgba, w, h, x, y, step=1):
        """Source-over of straight RGBA; 'step' > 1 samples every step-th pixel."""
        px = self.px
        opaque_row = b'\xff' * (w // step)
        for sy in range(0, h, step):
            row = rgba[sy * w * 4:(sy + 1) * w * 4]
            if step > 1:
                row = b''.join(row[i:i + 4] for i in range(0, len(row), 4 * step))
            n = len(row) // 4
            di = ((y + sy // step) * self.w + x) * 4
            if row[3::4] == opaque_row[:n]:
                px[di:di + n * 4] = row
                continue
            for k in range(n):
                a = row[k * 4 + 3]
                if a == 0:
                    continue
                d = di + k * 4
                if a == 255:
                    px[d:d + 4] = row[k * 4:k * 4 + 4]
                    continue
                ia = 255 - a
                px[d] = (row[k * 4] * a + px[d] * ia) // 255
                px[d + 1] = (row[k * 4 + 1] * a + px[d + 1] * ia) // 255
                px[d + 2] = (row[k * 4 + 2] * a + px[d + 2] * ia) // 255

    def png(self):
        return pngio.encode_png(self.px, self.w, self.h, level=SHEET_ZLIB_LEVEL)


# Where the layouts put each image (client coordinates of the window).
PAGES = [
    ('bg1', [('logo', 153, 105), ('installBtn1', 200, 225), ('customeBtn1', 573, 363),
             ('minbtn1', 514, 12), ('closebtn1', 562, 12)]),
    ('bg2', [('backBtn1', 10, 11), ('logo', 153, 74), ('installDirEdit', 129, 188), ('chDirBtn1', 479, 188),
             ('Cb2', 125, 246), ('Cb2', 283, 246), ('installBtn1', 200, 311),
             ('minbtn1', 514, 12), ('closebtn1', 562, 12)]),
    ('bg3', [('000', 200, 78), ('installPrg1', 40, 344), ('installPrg2@60', 40, 344)]),
    ('bg4', [('finished', 206, 170), ('experienceBtn1', 200, 292), ('minbtn1', 514, 12), ('closebtn1', 562, 12)]),
]

DIALOGS = [  # (width, title height, title colour, icon, icon top, button row top, [(x, w, filled)])
    (400, 30, (245, 245, 245), 'icoWarn', 60, 128, [(130, 100, False), (245, 110, True)]),
    (360, 30, (245, 245, 245), 'icoNetwork', 60, 130, [(183, 76, False), (269, 76, True)]),
    (360, 40, (243, 245, 249), 'icoQuest', 70, 130, [(168, 76, False), (264, 76, True)]),
]


def render(images, encoded):
    """images: [(name, Canvas, dither)]; encoded: name -> straight RGBA bytes."""
    by_short = {}
    for name, canvas, _ in images:
        short = name.split('\\')[-1][:-4]
        by_short[short] = (encoded[name], canvas.w, canvas.h)
    frames = [n for n, _, _ in images if '\\installBtnAnimate\\' in n]
    singles = [n for n, _, _ in images if '\\installBtnAnimate\\' not in n]

    page_h = 2 * 400 + GAP
    dialog_h = 190
    flow = _flow_layout([(encoded[n], c.w, c.h) for n, c, _ in images if n in singles])
    flow_h = flow[-1][1] + flow[-1][2] if flow else 0
    frame_cell = 200 // FRAME_SCALE + GAP
    frame_rows = (len(frames) + FRAMES_PER_ROW - 1) // FRAMES_PER_ROW
    height = MARGIN + page_h + MARGIN + dialog_h + MARGIN + flow_h + MARGIN + frame_rows * frame_cell + MARGIN
    sheet = Sheet(SHEET_W, height, SHEET_BG)

    y = MARGIN
    for i, (bg, items) in enumerate(PAGES):
        px = MARGIN + (i % 2) * (600 + GAP)
        py = y + (i // 2) * (400 + GAP)
        rgba, w, h = by_short[bg]
        sheet.blit(rgba, w, h, px, py)
        for short, x, yy in items:
            if '@' in short:     # a progress fill cut to a percentage
                short, pct = short.split('@')
                rgba, w, h = by_short[short]
                cut = w * int(pct) // 100
                part = b''.join(rgba[r * w * 4:r * w * 4 + cut * 4] for r in range(h))
                tail = b''.join(rgba[r * w * 4 + (w - 4) * 4:(r + 1) * w * 4] for r in range(h))
                sheet.blit(part, cut, h, px + x, py + yy)
                sheet.blit(tail, 4, h, px + x + cut - 4, py + yy)
                continue
            rgba, w, h = by_short[short]
            sheet.blit(rgba, w, h, px + x, py + yy)
    y += page_h + MARGIN

    x = MARGIN
    for width, title_h, title_col, icon, icon_y, button_y, buttons in DIALOGS:
        sheet.rect(x, y, width, 180, (255, 255, 255))
        sheet.rect(x, y, width, title_h, title_col)
        rgba, w, h = by_short['closebtnM_1']
        sheet.blit(rgba, w, h, x + width - 12 - 24, y + (title_h - 24) // 2)
        rgba, w, h = by_short[icon]
        sheet.blit(rgba, w, h, x + 34, y + icon_y)
        for bx, bw, filled in buttons:
            by = y + button_y
            if filled:
                sheet.rect(x + bx, by, bw, 32, (0x16, 0x75, 0xFE))
            else:
                sheet.rect(x + bx, by, bw, 32, (0x18, 0x90, 0xFF))
                sheet.rect(x + bx + 1, by + 1, bw - 2, 30, (255, 255, 255))
        x += width + GAP
    y += dialog_h + MARGIN

    for rgba, w, h, fx, fy in [(item[0], item[3], item[4], item[5], item[1]) for item in flow]:
        sheet.checker(MARGIN + fx, y + fy, w, h)
        sheet.blit(rgba, w, h, MARGIN + fx, y + fy)
    y += flow_h + MARGIN

    for i, name in enumerate(frames):
        fx = MARGIN + (i % FRAMES_PER_ROW) * frame_cell
        fy = y + (i // FRAMES_PER_ROW) * frame_cell
        size = 200 // FRAME_SCALE
        sheet.rect(fx, fy, size, size, (250, 252, 255))
        sheet.blit(encoded[name], 200, 200, fx, fy, step=FRAME_SCALE)
    return sheet.png()


def _flow_layout(items):
    """Places images left to right in rows: [(rgba, y, row height, w, h, x)]."""
    out = []
    x = y = row_h = 0
    limit = SHEET_W - 2 * MARGIN
    for rgba, w, h in items:
        if x + w > limit and x > 0:
            y += row_h + GAP
            x = row_h = 0
        out.append((rgba, y, h, w, h, x))
        x += w + GAP
        row_h = max(row_h, h)
    if out:
        last = out[-1]
        out[-1] = (last[0], last[1], max(row_h, last[2]), last[3], last[4], last[5])
    return out
