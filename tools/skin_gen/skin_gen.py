#!/usr/bin/env python3
"""Draws every image of the installer's skin from code.

    skin_gen.py --out DIR [--icon FILE.ico] [--contact-sheet FILE.png] [--stamp FILE]

Writes DIR/res/common/*.png, DIR/res/mainWnd/*.png (with the 75 animation frames in
installBtnAnimate/), DIR/res/MessageBoxWnd/*.png and DIR/images.txt (one archive name
per line, with '\\' separators as the layouts write them). The output depends on
nothing but this code: two runs give the same bytes.
"""
import argparse
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from raster import (Canvas, rgb, mix, with_alpha, smoothstep, linear_gradient,  # noqa: E402
                    sd_circle, sd_round_rect, sd_segment, sd_polyline,
                    sd_ring, sd_arc, sd_polygon, union)
import pngio  # noqa: E402

PI = math.pi
TAU = 2.0 * math.pi

# Palette shared by every image.
BRAND = rgb('#1675FE')
BRAND_LIGHT = rgb('#4A97FF')
BRAND_DARK = rgb('#0F5AD6')
CYAN = rgb('#22B8F6')
VIOLET = rgb('#8C7BFF')
NAVY = rgb('#1F2D4D')
GLYPH = rgb('#8A91A5')
WHITE = rgb('#FFFFFF')
RED = rgb('#F5504E')
RED_DARK = rgb('#D63B39')
AMBER = rgb('#FFB23F')
ORANGE = rgb('#FA8C16')

PAGE_W, PAGE_H = 600, 400
FRAME_COUNT = 75          # installBtnAnimate\000.png .. 074.png
FRAME_SIZE = 200
ICON_SIZES = (16, 24, 32, 48, 64, 256)


# ---------------------------------------------------------------------------
# small building blocks

def soft_shadow(c, sdf, bbox, colour, alpha, soft):
    c.fill(sdf, with_alpha(colour, alpha), bbox, soft=soft)


def pill_button(w, h, top, bottom, shadow_alpha, shadow_dy, body_dy=0, gloss=0.18):
    """Rounded gradient button filling a w x h control, with a soft coloured shadow
    kept inside the image."""
    c = Canvas(w, h)
    x0, y0, x1, y1 = 3.0, 2.0 + body_dy, w - 3.0, h - 4.0 + body_dy
    r = (y1 - y0) / 2.0
    if shadow_alpha > 0:
        soft_shadow(c, sd_round_rect(x0 + 4, y0 + shadow_dy, x1 - 4, y1 + shadow_dy, r),
                    (0, 0, w, h), top, shadow_alpha, 6.0)
    body = sd_round_rect(x0, y0, x1, y1, r)
    c.fill(body, linear_gradient(x0, 0, x1, 0, [(0.0, top), (1.0, bottom)]), (0, 0, w, h))
    if gloss > 0:
        mid = (y0 + y1) / 2.0
        c.fill(sd_round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, r - 1),
               lambda x, y: (1.0, 1.0, 1.0, gloss * (1.0 - smoothstep(y0, mid + 2, y))),
               (0, y0, w, mid + 3))
    return c


def rounded_button(w, h, top, bottom, radius=4.0):
    c = Canvas(w, h)
    body = sd_round_rect(0.5, 0.5, w - 0.5, h - 0.5, radius)
    c.fill(body, linear_gradient(0, 0, 0, h, [(0.0, top), (1.0, bottom)]))
    c.fill(sd_round_rect(1.5, 1.5, w - 1.5, h - 1.5, radius - 1),
           lambda x, y: (1.0, 1.0, 1.0, 0.14 * (1.0 - smoothstep(1.0, h * 0.55, y))),
           (0, 0, w, h * 0.6))
    return c


def stroke_path(c, pts, hw, colour):
    """Round-capped polyline of half width hw."""
    c.fill(sd_polyline(pts, hw), colour, _bbox(pts, hw + 1))


def _bbox(pts, pad):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


def disc_icon(size, top, bottom):
    """Round gradient badge used by the dialog icons and the finished mark."""
    c = Canvas(size, size)
    cx = cy = size / 2.0
    r = size / 2.0 - 1.0
    c.fill(sd_circle(cx, cy, r), linear_gradient(0, 0, size, size, [(0.0, top), (1.0, bottom)]))
    c.fill(sd_circle(cx, cy - r * 0.35, r * 0.72),
           lambda x, y: (1.0, 1.0, 1.0, 0.16 * (1.0 - smoothstep(cy - r, cy, y))),
           (0, 0, size, cy))
    return c


# ---------------------------------------------------------------------------
# brand

def emblem(c, x, y, s):
    """The product mark: a blue rounded square holding a white 'p' that doubles as a
    speech bubble."""
    r = s * 0.27
    soft_shadow(c, sd_round_rect(x + s * 0.08, y + s * 0.12, x + s * 0.92, y + s * 1.0, r),
                (x - s * 0.2, y - s * 0.2, x + s * 1.2, y + s * 1.2), BRAND, 0.35, s * 0.18)
    c.fill(sd_round_rect(x, y, x + s, y + s, r),
           linear_gradient(x, y, x + s, y + s, [(0.0, rgb('#4FA3FF')), (0.55, BRAND), (1.0, rgb('#3A4FE8'))]),
           (x - 1, y - 1, x + s + 1, y + s + 1))
    c.fill(sd_round_rect(x + 1, y + 1, x + s - 1, y + s - 1, r - 1),
           lambda px, py: (1.0, 1.0, 1.0, 0.20 * (1.0 - smoothstep(y, y + s * 0.55, py))),
           (x, y, x + s, y + s * 0.6))
    hw = s * 0.075
    bx, by, br = x + s * 0.53, y + s * 0.45, s * 0.185
    stem_x = bx - br
    glyph = union(sd_ring(bx, by, br, hw), sd_segment(stem_x, by, stem_x, y + s * 0.80, hw))
    c.fill(glyph, WHITE, (x, y, x + s, y + s))
    c.fill(sd_circle(x + s * 0.765, y + s * 0.215, s * 0.062), rgb('#9FE3FF'), (x, y, x + s, y + s))


def wordmark(c, x, baseline, colour, accent):
    """'parlino' in geometric strokes. Returns the advance width."""
    hw = 3.2
    R = 13.0
    r = R - hw
    xh = 2 * R
    gap = 6.0
    top = baseline - xh + hw
    cy = baseline - R
    pen = x
    shapes = []
    # p
    shapes += [sd_ring(pen + R, cy, r, hw), sd_segment(pen + hw, top, pen + hw, baseline + 12, hw)]
    pen += 2 * R + gap
    # a
    shapes += [sd_ring(pen + R, cy, r, hw), sd_segment(pen + 2 * R - hw, top, pen + 2 * R - hw, baseline - hw, hw)]
    pen += 2 * R + gap
    # r
    shapes += [sd_segment(pen + hw, top, pen + hw, baseline - hw, hw),
               sd_arc(pen + hw + r, cy, r, hw, PI, PI * 1.72)]
    pen += hw + r + r * math.cos(PI * 0.28) + hw + gap - 1
    # l
    shapes += [sd_segment(pen + hw, baseline - 40, pen + hw, baseline - hw, hw)]
    pen += 2 * hw + gap
    # i (the dot is drawn in the accent colour)
    shapes += [sd_segment(pen + hw, top, pen + hw, baseline - hw, hw)]
    dot = (pen + hw, baseline - xh - 8.5)
    pen += 2 * hw + gap
    # n
    shapes += [sd_segment(pen + hw, top, pen + hw, baseline - hw, hw),
               sd_arc(pen + R, cy, r, hw, PI, TAU),
               sd_segment(pen + 2 * R - hw, cy, pen + 2 * R - hw, baseline - hw, hw)]
    pen += 2 * R + gap
    # o
    shapes += [sd_ring(pen + R, cy, r, hw)]
    pen += 2 * R
    c.fill(union(*shapes), colour, (x - 2, baseline - 44, pen + 2, baseline + 17))
    c.fill(sd_circle(dot[0], dot[1], hw * 1.15), accent, (dot[0] - 6, dot[1] - 6, dot[0] + 6, dot[1] + 6))
    return pen - x


def logo():
    w, h = 294, 70
    c = Canvas(w, h)
    s = 56
    gap = 16
    text_w = wordmark(Canvas(1, 1), 0, 47, NAVY, BRAND)   # measuring pass
    x = int((w - (s + gap + text_w)) // 2)
    emblem(c, x, 5, s)
    wordmark(c, x + s + gap, 47, NAVY, BRAND)
    return c


# ---------------------------------------------------------------------------
# page backgrounds: one base, four accents

def wave_sdf(base_y, amp, period, phase):
    k = TAU / period

    def d(x, y):
        return (base_y + amp * math.sin(k * x + phase)) - y
    return d


def background_base():
    c = Canvas(PAGE_W, PAGE_H, WHITE)
    # sky: a pale blue wash fading into white
    sky_top = rgb('#E4EFFF')
    c.paint_rows(lambda y: with_alpha(sky_top, 1.0 - smoothstep(0, 250, y)), (0, 0, PAGE_W, 250))
    # soft light blobs in the corners
    c.glow(575, -55, 230, rgb('#BCD7FF'), 0.75)
    c.glow(455, 10, 130, rgb('#D9D2FF'), 0.55)
    c.glow(30, -30, 150, rgb('#CDEFFF'), 0.7)
    # orbit lines around the top-right light
    c.fill(sd_ring(575, -55, 262, 0.6), with_alpha(WHITE, 0.9), (300, 0, PAGE_W, 215))
    c.fill(sd_ring(575, -55, 300, 0.5), with_alpha(BRAND, 0.10), (260, 0, PAGE_W, 250))
    c.fill(sd_circle(575 - 262 * math.cos(0.62), -55 + 262 * math.sin(0.62), 3.2), with_alpha(WHITE, 1.0),
           (330, 150, 380, 200))
    c.fill(sd_circle(575 - 300 * math.cos(0.95), -55 + 300 * math.sin(0.95), 2.4), with_alpha(BRAND, 0.35),
           (350, 180, 440, 250))
    # dot grid, top left
    for j in range(4):
        for i in range(6):
            cx, cy = 28 + i * 12, 64 + j * 12
            c.fill(sd_circle(cx, cy, 1.3), with_alpha(BRAND, 0.16), (cx - 3, cy - 3, cx + 3, cy + 3))
    # layered waves along the bottom
    c.fill(wave_sdf(352, 9, 520, 0.8),
           linear_gradient(0, 0, PAGE_W, 0, [(0.0, with_alpha(rgb('#EEF4FF'), 0.95)), (1.0, with_alpha(rgb('#F3EFFF'), 0.95))]),
           (0, 338, PAGE_W, PAGE_H))
    c.fill(wave_sdf(368, 7, 430, 2.6),
           linear_gradient(0, 0, PAGE_W, 0, [(0.0, with_alpha(rgb('#E2EDFF'), 0.9)), (1.0, with_alpha(rgb('#E6F3FF'), 0.9))]),
           (0, 358, PAGE_W, PAGE_H))
    c.fill(wave_sdf(384, 5, 360, 4.1),
           linear_gradient(0, 0, PAGE_W, 0, [(0.0, with_alpha(rgb('#D6E6FF'), 0.85)), (1.0, with_alpha(rgb('#DCEEFF'), 0.85))]),
           (0, 376, PAGE_W, PAGE_H))
    return c


def frame_border(c):
    """A hairline frame: the window has no system border of its own."""
    edge = with_alpha(rgb('#C9D6EA'), 1.0)
    c.paint_rows(lambda y: edge, (0, 0, PAGE_W, 1))
    c.paint_rows(lambda y: edge, (0, PAGE_H - 1, PAGE_W, PAGE_H))
    c.paint_rows(lambda y: edge, (0, 0, 1, PAGE_H))
    c.paint_rows(lambda y: edge, (PAGE_W - 1, 0, PAGE_W, PAGE_H))


def bg_welcome(base):
    c = base.copy()
    # a wide spotlight behind the logo and the install button
    c.glow(300, 200, 190, WHITE, 0.85)
    for cx, cy, r, col, a in ((92, 170, 5.5, BRAND, 0.18), (518, 222, 8.0, VIOLET, 0.14),
                              (470, 300, 3.5, CYAN, 0.30), (128, 262, 3.0, BRAND, 0.25),
                              (548, 120, 3.0, WHITE, 0.9)):
        c.fill(sd_circle(cx, cy, r), with_alpha(col, a), (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2))
        c.fill(sd_ring(cx, cy, r + 4, 0.5), with_alpha(col, a * 0.6), (cx - r - 6, cy - r - 6, cx + r + 6, cy + r + 6))
    frame_border(c)
    return c


def bg_custom(base):
    c = base.copy()
    # a faint card behind the settings rows
    card = sd_round_rect(30, 170, 570, 290, 10)
    soft_shadow(c, sd_round_rect(34, 176, 566, 293, 10), (14, 154, 586, 310), rgb('#6E8BB8'), 0.10, 14)
    c.fill(card, with_alpha(WHITE, 0.78), (28, 168, 572, 292))
    c.fill(outline(card), with_alpha(rgb('#DCE5F2'), 1.0), (28, 168, 572, 292))
    frame_border(c)
    return c


def outline(sdf):
    """The shape's 1-pixel edge line."""
    def d(x, y):
        return abs(sdf(x, y)) - 0.5
    return d


def bg_progress(base):
    c = base.copy()
    cx, cy = 300, 178      # centre of the animation on the progress page
    c.glow(cx, cy, 150, rgb('#DFECFF'), 0.75, power=1.3)
    for rr, a in ((122, 0.16), (148, 0.10), (176, 0.06)):
        c.fill(sd_ring(cx, cy, rr, 0.5), with_alpha(BRAND, a), (cx - rr - 2, cy - rr - 2, cx + rr + 2, cy + rr + 2))
    for ang, rr, col in ((0.35, 122, BRAND), (2.5, 148, CYAN), (4.2, 176, VIOLET), (5.4, 122, CYAN)):
        px, py = cx + rr * math.cos(ang), cy + rr * math.sin(ang)
        c.fill(sd_circle(px, py, 3.0), with_alpha(col, 0.45), (px - 5, py - 5, px + 5, py + 5))
    frame_border(c)
    return c


CONFETTI_PIECES = 14
BURST_X, BURST_Y = 300, 196      # centre of the finished mark and its title on page 3


def bg_finished(base):
    c = base.copy()
    cx, cy = 300, 150
    c.glow(cx, cy, 170, rgb('#DDEBFF'), 0.7)
    # confetti bursting out above the "done" row: pieces on a fan of rays around its
    # centre, each strip pointing along its ray
    colours = (BRAND, CYAN, VIOLET, AMBER)
    for n in range(CONFETTI_PIECES):
        ang = PI * (1.08 + 0.84 * n / (CONFETTI_PIECES - 1))     # upper fan, left to right
        rr = 118 + 34 * ((n * 0.618034) % 1.0)                 # golden-ratio jitter of the radius
        px, py = BURST_X + rr * math.cos(ang), BURST_Y + rr * 0.62 * math.sin(ang)
        col = colours[n % len(colours)]
        if n % 3 == 0:
            c.fill(sd_circle(px, py, 3.0), with_alpha(col, 0.55), (px - 5, py - 5, px + 5, py + 5))
        else:
            ca, sa = math.cos(ang), math.sin(ang) * 0.62
            norm = math.hypot(ca, sa)
            ca, sa = ca / norm, sa / norm
            l, t = 5.0, 1.5
            c.fill(sd_segment(px - ca * l, py - sa * l, px + ca * l, py + sa * l, t), with_alpha(col, 0.6),
                   (px - 9, py - 9, px + 9, py + 9))
    frame_border(c)
    return c


# ---------------------------------------------------------------------------
# controls of the main window

def install_button(state):
    top, bottom, shadow, dy = {
        'normal': (rgb('#3A92FF'), rgb('#1675FE'), 0.38, 3),
        'hot': (rgb('#5AA6FF'), rgb('#2D84FF'), 0.50, 4),
        'pushed': (rgb('#1C6EEB'), rgb('#0F58D0'), 0.20, 2),
    }[state]
    return pill_button(200, 46, top, bottom, shadow, dy, body_dy=1 if state == 'pushed' else 0)


def experience_button(state):
    top, bottom, shadow, dy = {
        'normal': (rgb('#1675FE'), rgb('#19B0F5'), 0.38, 3),
        'hot': (rgb('#3489FF'), rgb('#3CC3FA'), 0.50, 4),
        'pushed': (rgb('#0F5FD8'), rgb('#1394D6'), 0.20, 2),
    }[state]
    return pill_button(200, 46, top, bottom, shadow, dy, body_dy=1 if state == 'pushed' else 0)


def chdir_button(state):
    top, bottom = {
        'normal': (rgb('#2F86FF'), rgb('#1675FE')),
        'hot': (rgb('#4F9BFF'), rgb('#3388FF')),
        'pushed': (rgb('#1466E6'), rgb('#0F57CC')),
    }[state]
    return rounded_button(81, 36, top, bottom)


def install_dir_edit():
    w, h = 340, 36
    c = Canvas(w, h)
    box = sd_round_rect(0.5, 0.5, w - 0.5, h - 0.5, 4)
    c.fill(box, WHITE)
    c.fill(sd_round_rect(1, 1, w - 1, h - 1, 3.5),
           lambda x, y: (0.16, 0.27, 0.45, 0.05 * (1.0 - smoothstep(1, 5, y))), (0, 0, w, 6))
    c.fill(outline(sd_round_rect(1.0, 1.0, w - 1.0, h - 1.0, 3.5)), rgb('#CBD5E4'))
    return c


def back_button(state):
    w, h = 64, 30
    c = Canvas(w, h)
    bg_alpha, colour = {'normal': (0.0, rgb('#5C6479')), 'hot': (0.10, BRAND), 'pushed': (0.26, BRAND_DARK)}[state]
    if bg_alpha:
        c.fill(sd_round_rect(1, 1, w - 1, h - 1, 14), with_alpha(BRAND, bg_alpha))
    cx, cy = w / 2.0, h / 2.0
    pts = [(cx - 1.5, cy - 6.5), (cx - 8.0, cy), (cx - 1.5, cy + 6.5)]
    stroke_path(c, pts, 1.1, colour)
    c.fill(sd_segment(cx - 7.5, cy, cx + 9.0, cy, 1.1), colour, (cx - 10, cy - 3, cx + 11, cy + 3))
    return c


def window_button(kind, state, modal=False):
    """Minimise and close buttons of the title bars (24 x 24)."""
    s = 24
    c = Canvas(s, s)
    cx = cy = s / 2.0
    if kind == 'close':
        if state == 'normal':
            glyph = rgb('#9AA0B1') if modal else GLYPH
        else:
            c.fill(sd_circle(cx, cy, 11.0), RED if state == 'hot' else RED_DARK)
            glyph = WHITE
        k = 4.0 if modal else 4.5
        c.fill(union(sd_segment(cx - k, cy - k, cx + k, cy + k, 0.85),
                     sd_segment(cx - k, cy + k, cx + k, cy - k, 0.85)), glyph, (4, 4, 20, 20))
    else:
        if state == 'normal':
            glyph = GLYPH
        else:
            c.fill(sd_circle(cx, cy, 11.0), with_alpha(BRAND, 0.12 if state == 'hot' else 0.30))
            glyph = BRAND if state == 'hot' else rgb('#0B4DB8')
        c.fill(sd_segment(cx - 5.0, cy + 0.5, cx + 5.0, cy + 0.5, 0.85), glyph, (4, 8, 20, 16))
    return c


def check_box(selected):
    # drawn into the control's 'dest' area of 15 x 14: a 13.5-pixel box, left-aligned
    c = Canvas(15, 14)
    box = sd_round_rect(0.5, 0.25, 13.75, 13.5, 2.5)
    if selected:
        c.fill(box, linear_gradient(0, 0, 14, 14, [(0.0, rgb('#3A92FF')), (1.0, BRAND)]))
        stroke_path(c, [(3.6, 7.0), (6.0, 9.5), (10.4, 4.6)], 0.95, WHITE)
    else:
        c.fill(box, WHITE)
        c.fill(outline(sd_round_rect(1.0, 0.75, 13.25, 13.0, 2.0)), rgb('#AEB8CB'))
    return c


def custom_arrow(hot):
    c = Canvas(16, 16)
    cx = cy = 8.0
    if hot:
        c.fill(sd_circle(cx, cy, 7.0), BRAND)
        colour = WHITE
    else:
        c.fill(sd_ring(cx, cy, 6.6, 0.55), GLYPH)
        colour = rgb('#606178')
    stroke_path(c, [(6.9, 5.0), (9.8, 8.0), (6.9, 11.0)], 0.8, colour)
    return c


def tip_bubble():
    w, h = 116, 32
    c = Canvas(w, h)
    body = union(sd_round_rect(0.5, 0.5, w - 0.5, 26.0, 5.0), sd_polygon([(14, 25.0), (26, 25.0), (18, 31.5)]))
    soft_shadow(c, sd_round_rect(3, 3, w - 3, 26, 5), (0, 0, w, h), rgb('#C77A1A'), 0.12, 5)
    c.fill(body, rgb('#FFF7E8'))
    c.fill(outline(body), rgb('#FFC069'))
    # warning mark at the left; the label's own text would sit to its right
    c.fill(sd_circle(14, 13, 7.0), ORANGE)
    c.fill(sd_segment(14, 9.3, 14, 13.8, 1.05), WHITE, (10, 7, 18, 16))
    c.fill(sd_circle(14, 16.6, 1.15), WHITE, (11, 14, 17, 19))
    return c


def progress_track():
    w, h = 520, 8
    c = Canvas(w, h)
    c.fill(sd_round_rect(0, 0, w, h, 4), rgb('#E3EAF5'))
    c.fill(sd_round_rect(0.5, 0.5, w - 0.5, h - 0.5, 3.5),
           lambda x, y: (0.22, 0.32, 0.5, 0.07 * (1.0 - smoothstep(0.5, 4.0, y))), (0, 0, w, 4))
    return c


def progress_fill():
    w, h = 520, 8
    c = Canvas(w, h)
    c.fill(sd_round_rect(0, 0, w, h, 4), linear_gradient(0, 0, w, 0, [(0.0, rgb('#3FB6FF')), (1.0, BRAND)]))
    c.fill(sd_round_rect(1, 1, w - 1, 4.5, 2),
           lambda x, y: (1.0, 1.0, 1.0, 0.28 * (1.0 - smoothstep(1.0, 4.5, y))), (0, 0, w, 5))
    return c


def finished_mark():
    c = disc_icon(40, rgb('#3A92FF'), rgb('#19B0F5'))
    stroke_path(c, [(11.5, 20.5), (17.5, 26.5), (28.5, 14.5)], 1.9, WHITE)
    return c


# ---------------------------------------------------------------------------
# dialog icons (40 x 40)

def icon_warn():
    c = disc_icon(40, AMBER, ORANGE)
    c.fill(sd_segment(20, 10.5, 20, 22.5, 2.1), WHITE, (15, 6, 25, 26))
    c.fill(sd_circle(20, 28.8, 2.3), WHITE, (15, 24, 25, 33))
    return c


def icon_quest():
    c = disc_icon(40, BRAND_LIGHT, BRAND)
    hook = union(sd_arc(20, 15.6, 5.6, 2.0, PI * 1.0, PI * 2.42),
                 sd_segment(20 + 5.6 * math.cos(PI * 0.42), 15.6 + 5.6 * math.sin(PI * 0.42), 20, 23.2, 2.0))
    c.fill(hook, WHITE, (8, 5, 32, 27))
    c.fill(sd_circle(20, 28.8, 2.3), WHITE, (15, 24, 25, 33))
    return c


def icon_network():
    c = disc_icon(40, BRAND_LIGHT, BRAND)
    cx, cy = 20.0, 27.0
    for rr, a in ((6.0, 1.0), (11.0, 1.0), (16.0, 0.38)):   # the outer bar is weak: poor signal
        c.fill(sd_arc(cx, cy, rr, 1.5, PI * 1.25, PI * 1.75), with_alpha(WHITE, a), (2, 2, 38, 30))
    c.fill(sd_circle(cx, cy, 2.2), WHITE, (16, 23, 24, 31))
    return c


# ---------------------------------------------------------------------------
# the installing animation: a comet arc circling a bobbing download mark

ANIM_C = FRAME_SIZE / 2.0
RING_R = 82.0
RING_HW = 4.5
TAIL_SPAN = PI * 1.45
HALO_R, HALO_HW, HALO_SOFT = 63.0, 0.75, 1.5
HALO_COLOUR = rgb('#7DBBFF')


def animation_base():
    c = Canvas(FRAME_SIZE, FRAME_SIZE)
    soft_shadow(c, sd_circle(ANIM_C, ANIM_C + 5, 58), (20, 20, 180, 190), rgb('#2A5FB8'), 0.20, 18)
    c.fill(sd_circle(ANIM_C, ANIM_C, 60),
           linear_gradient(0, 40, 0, 160, [(0.0, WHITE), (1.0, rgb('#EEF4FF'))]), (38, 38, 162, 162))
    c.fill(sd_ring(ANIM_C, ANIM_C, RING_R, RING_HW), rgb('#E1E9F6'), (10, 10, 190, 190))
    return c


def annulus_pixels():
    """(x, y, radial coverage, angle) of every pixel the comet can touch."""
    out = []
    inner, outer = RING_R - RING_HW - 3.0, RING_R + RING_HW + 3.0
    for y in range(FRAME_SIZE):
        for x in range(FRAME_SIZE):
            dx, dy = x + 0.5 - ANIM_C, y + 0.5 - ANIM_C
            rr = math.hypot(dx, dy)
            if inner <= rr <= outer:
                cov = 0.5 - (abs(rr - RING_R) - RING_HW)
                out.append((x, y, 0.0 if cov < 0 else 1.0 if cov > 1 else cov, math.atan2(dy, dx)))
    return out


def annulus(r_in, r_out):
    """(x, y, radius) of the frame's pixels whose centre lies between two radii."""
    out = []
    for y in range(FRAME_SIZE):
        for x in range(FRAME_SIZE):
            rr = math.hypot(x + 0.5 - ANIM_C, y + 0.5 - ANIM_C)
            if r_in <= rr <= r_out:
                out.append((x, y, rr))
    return out


def animation_frame(base, ring_px, halo_px, f):
    """Frame f over a copy of the still base; the copy records the pixels it changes."""
    c = base.copy()
    c.touched = set()
    phase = TAU * f / FRAME_COUNT
    head = -PI / 2 + phase
    tail = head - TAIL_SPAN
    tail_col, head_col = rgb('#8FD3FF'), BRAND
    hx, hy = ANIM_C + RING_R * math.cos(head), ANIM_C + RING_R * math.sin(head)
    for x, y, cov, ang in ring_px:
        t = ((ang - tail) % TAU) / TAIL_SPAN
        if t <= 1.0:
            a = cov * (t ** 1.6)
        else:
            # rounded head cap beyond the arc's end
            d = math.hypot(x + 0.5 - hx, y + 0.5 - hy) - RING_HW
            a = 0.5 - d
            a = 0.0 if a < 0 else 1.0 if a > 1 else a
            t = 1.0
        if a > 0:
            col = mix(tail_col, head_col, t)
            c.blend(x, y, col[0], col[1], col[2], a)
    # the disc breathes: a thin halo swells and brightens twice per turn
    pulse = 0.5 - 0.5 * math.cos(2 * phase)
    halo_r, halo_a = HALO_R + pulse, 0.15 + 0.30 * pulse
    hr, hg, hb, _ = HALO_COLOUR
    for x, y, rr in halo_px:
        cov = (HALO_SOFT * 0.5 - (abs(rr - halo_r) - HALO_HW)) / HALO_SOFT
        if cov > 0:
            c.blend(x, y, hr, hg, hb, halo_a * (1.0 if cov > 1 else cov))
    # a glowing bead at the head
    c.fill(sd_circle(hx, hy, 9.0), with_alpha(BRAND, 0.25), (hx - 14, hy - 14, hx + 14, hy + 14), soft=8.0)
    c.fill(sd_circle(hx, hy, 2.2), WHITE, (hx - 4, hy - 4, hx + 4, hy + 4))
    # download mark: the arrow bobs twice per turn, the tray stays
    bob = 3.5 * math.sin(2 * phase)
    arrow = union(sd_segment(ANIM_C, 72 + bob, ANIM_C, 103 + bob, 3.4),
                  sd_polyline([(ANIM_C - 12, 92 + bob), (ANIM_C, 104 + bob), (ANIM_C + 12, 92 + bob)], 3.4))
    c.fill(arrow, linear_gradient(0, 70, 0, 108, [(0.0, rgb('#4FA3FF')), (1.0, BRAND)]), (80, 64, 120, 112))
    tray = sd_polyline([(ANIM_C - 22, 109), (ANIM_C - 22, 121), (ANIM_C + 22, 121), (ANIM_C + 22, 109)], 3.4)
    c.fill(tray, with_alpha(NAVY, 0.85), (72, 102, 128, 128))
    return c


# ---------------------------------------------------------------------------
# window icon

def app_icon(size):
    c = Canvas(size, size)
    pad = size * 0.04
    s = size - 2 * pad
    emblem_plain(c, pad, pad, s)
    return c


def emblem_plain(c, x, y, s):
    r = s * 0.24
    c.fill(sd_round_rect(x, y, x + s, y + s, r),
           linear_gradient(x, y, x + s, y + s, [(0.0, rgb('#4FA3FF')), (0.55, BRAND), (1.0, rgb('#3A4FE8'))]))
    hw = s * 0.085
    bx, by, br = x + s * 0.53, y + s * 0.45, s * 0.19
    glyph = union(sd_ring(bx, by, br, hw), sd_segment(bx - br, by, bx - br, y + s * 0.82, hw))
    c.fill(glyph, WHITE)
    c.fill(sd_circle(x + s * 0.775, y + s * 0.205, s * 0.068), rgb('#9FE3FF'))


# ---------------------------------------------------------------------------

def build_images():
    """[(archive name with '\\', Canvas, straight RGBA bytes)] in a fixed order."""
    imgs = []

    def add(name, canvas, dither=False, rgba=None):
        imgs.append((name, canvas, rgba if rgba is not None else canvas.to_rgba_bytes(dither)))

    base = background_base()
    add(r'res\mainWnd\bg1.png', bg_welcome(base), True)
    add(r'res\mainWnd\bg2.png', bg_custom(base), True)
    add(r'res\mainWnd\bg3.png', bg_progress(base), True)
    add(r'res\mainWnd\bg4.png', bg_finished(base), True)
    add(r'res\mainWnd\logo.png', logo())
    for i, st in enumerate(('normal', 'hot', 'pushed'), 1):
        add(r'res\mainWnd\installBtn%d.png' % i, install_button(st))
        add(r'res\mainWnd\experienceBtn%d.png' % i, experience_button(st))
        add(r'res\mainWnd\chDirBtn%d.png' % i, chdir_button(st))
        add(r'res\mainWnd\backBtn%d.png' % i, back_button(st))
        add(r'res\common\minbtn%d.png' % i, window_button('min', st))
        add(r'res\common\closebtn%d.png' % i, window_button('close', st))
        add(r'res\common\closebtnM_%d.png' % i, window_button('close', st, modal=True))
    add(r'res\mainWnd\Cb1.png', check_box(False))
    add(r'res\mainWnd\Cb2.png', check_box(True))
    add(r'res\mainWnd\customeBtn1.png', custom_arrow(False))
    add(r'res\mainWnd\customeBtn2.png', custom_arrow(True))
    add(r'res\mainWnd\tipLbl.png', tip_bubble())
    add(r'res\mainWnd\installDirEdit.png', install_dir_edit())
    add(r'res\mainWnd\installPrg1.png', progress_track())
    add(r'res\mainWnd\installPrg2.png', progress_fill())
    add(r'res\mainWnd\finished.png', finished_mark())
    add(r'res\MessageBoxWnd\icoWarn.png', icon_warn())
    add(r'res\MessageBoxWnd\icoQuest.png', icon_quest())
    add(r'res\MessageBoxWnd\icoNetwork.png', icon_network())
    abase = animation_base()
    abase_rgba = abase.to_rgba_bytes()
    ring_px = annulus_pixels()
    halo_px = annulus(HALO_R - 3, HALO_R + 4)
    for f in range(FRAME_COUNT):
        frame = animation_frame(abase, ring_px, halo_px, f)
        add(r'res\mainWnd\installBtnAnimate\%03d.png' % f, frame,
            rgba=frame.to_rgba_bytes(base=abase_rgba, pixels=sorted(frame.touched)))
    return imgs


def write_file(path, data):
    os.makedirs(os.path.dirname(path) or '.', exist_ok=True)
    tmp = path + '.tmp'
    with open(tmp, 'wb') as fh:
        fh.write(data)
    os.replace(tmp, path)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--out', required=True, help='folder that receives res/...')
    ap.add_argument('--icon', help='window icon (.ico) to write')
    ap.add_argument('--contact-sheet', help='PNG with every image, for people to look at')
    ap.add_argument('--stamp', help='file touched after a complete run')
    args = ap.parse_args(argv)

    images = build_images()
    names = []
    encoded = {}
    for name, canvas, rgba in images:
        encoded[name] = rgba
        write_file(os.path.join(args.out, *name.split('\\')), pngio.encode_png(rgba, canvas.w, canvas.h))
        names.append(name)
    write_file(os.path.join(args.out, 'images.txt'), ('\n'.join(names) + '\n').encode('utf-8'))

    if args.icon:
        icons = []
        for size in ICON_SIZES:
            icons.append((size, app_icon(size).to_rgba_bytes()))
        write_file(args.icon, pngio.encode_ico(icons))

    if args.contact_sheet:
        import contact_sheet
        write_file(args.contact_sheet, contact_sheet.render(images, encoded))

    if args.stamp:
        write_file(args.stamp, b'ok\n')
    return 0


if __name__ == '__main__':
    sys.exit(main())
