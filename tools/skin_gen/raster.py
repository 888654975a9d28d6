"""A small anti-aliased rasteriser for the skin images (standard library only).

Pixels are premultiplied RGBA floats in 0..1, stored interleaved in one list.
Shapes are signed distance functions of a pixel centre; coverage is taken from
the distance, which gives smooth edges without supersampling. Everything is
deterministic: no randomness, no dependence on the machine.
"""
import math

# ---------------------------------------------------------------------------
# colours

def rgb(hexstr, a=1.0):
    """'#RRGGBB' -> straight (r, g, b, a) floats."""
    h = hexstr.lstrip('#')
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0, int(h[4:6], 16) / 255.0, a)


def mix(c0, c1, t):
    t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
    return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t,
            c0[2] + (c1[2] - c0[2]) * t, c0[3] + (c1[3] - c0[3]) * t)


def with_alpha(c, a):
    return (c[0], c[1], c[2], a)


def smoothstep(e0, e1, x):
    t = (x - e0) / (e1 - e0)
    t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
    return t * t * (3.0 - 2.0 * t)


# ---------------------------------------------------------------------------
# paints: callables (x, y) -> straight (r, g, b, a)

def linear_gradient(x0, y0, x1, y1, stops):
    """stops: [(t, colour), ...] with t ascending in 0..1."""
    dx, dy = x1 - x0, y1 - y0
    inv = 1.0 / (dx * dx + dy * dy)

    def paint(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) * inv
        return _stop_colour(stops, t)
    return paint


def _stop_colour(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 1.0)
    return stops[-1][1]


# ---------------------------------------------------------------------------
# signed distance functions (negative inside)

def sd_circle(cx, cy, r):
    def d(x, y):
        return math.hypot(x - cx, y - cy) - r
    return d


def sd_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) * 0.5, (y0 + y1) * 0.5
    hw, hh = (x1 - x0) * 0.5 - r, (y1 - y0) * 0.5 - r

    def d(x, y):
        qx = abs(x - cx) - hw
        qy = abs(y - cy) - hh
        outside = math.hypot(qx if qx > 0 else 0.0, qy if qy > 0 else 0.0)
        inside = qx if qx > qy else qy
        return outside + (inside if inside < 0 else 0.0) - r
    return d


def sd_segment(ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def d(x, y):
        t = ((x - ax) * dx + (y - ay) * dy) / ll
        t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
        return math.hypot(x - ax - dx * t, y - ay - dy * t) - half_width
    return d


def sd_polyline(points, half_width):
    segs = [sd_segment(a[0], a[1], b[0], b[1], half_width) for a, b in zip(points, points[1:])]

    def d(x, y):
        return min(s(x, y) for s in segs)
    return d


def sd_ring(cx, cy, r, half_width):
    def d(x, y):
        return abs(math.hypot(x - cx, y - cy) - r) - half_width
    return d


def sd_arc(cx, cy, r, half_width, a0, a1):
    """Stroke of the arc from angle a0 to a1 (radians, clockwise on screen, a1 > a0)
    with round caps."""
    span = a1 - a0
    p0 = (cx + r * math.cos(a0), cy + r * math.sin(a0))
    p1 = (cx + r * math.cos(a1), cy + r * math.sin(a1))

    def d(x, y):
        ang = (math.atan2(y - cy, x - cx) - a0) % (2 * math.pi)
        if ang <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - half_width
        return min(math.hypot(x - p0[0], y - p0[1]), math.hypot(x - p1[0], y - p1[1])) - half_width
    return d


def sd_polygon(points):
    """Convex or concave simple polygon."""
    n = len(points)

    def d(x, y):
        best = float('inf')
        sign = 1.0
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            ex, ey = xj - xi, yj - yi
            wx, wy = x - xi, y - yi
            t = (wx * ex + wy * ey) / (ex * ex + ey * ey)
            t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
            bx, by = wx - ex * t, wy - ey * t
            dd = bx * bx + by * by
            if dd < best:
                best = dd
            c1 = y >= yi
            c2 = y < yj
            c3 = ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
            j = i
        return sign * math.sqrt(best)
    return d


def union(*fs):
    def d(x, y):
        return min(f(x, y) for f in fs)
    return d


# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.touched = None   # a set: records the index of every pixel drawn on
        if fill is None:
            self.px = [0.0] * (w * h * 4)
        else:
            r, g, b, a = fill
            self.px = [r * a, g * a, b * a, a] * (w * h)

    def copy(self):
        c = Canvas.__new__(Canvas)
        c.w, c.h, c.px, c.touched = self.w, self.h, list(self.px), None
        return c

    # -- compositing -------------------------------------------------------
    def blend(self, x, y, r, g, b, a):
        """Source-over of one straight-colour sample at integer pixel (x, y)."""
        if a <= 0.0:
            return
        i = (y * self.w + x) * 4
        if self.touched is not None:
            self.touched.add(i >> 2)
        px = self.px
        k = 1.0 - a
        px[i] = r * a + px[i] * k
        px[i + 1] = g * a + px[i + 1] * k
        px[i + 2] = b * a + px[i + 2] * k
        px[i + 3] = a + px[i + 3] * k

    def fill(self, sdf, paint, bbox=None, soft=1.0, opacity=1.0):
        """Fills the shape; 'soft' is the width of the edge ramp in pixels (1 = crisp
        anti-aliasing, larger = blurred edge, used for shadows and glows)."""
        x0, y0, x1, y1 = self._clip(bbox)
        solid = None if callable(paint) else paint
        half = soft * 0.5
        inv = 1.0 / soft
        px, w = self.px, self.w
        touched = self.touched
        for y in range(y0, y1):
            fy = y + 0.5
            row = y * w
            for x in range(x0, x1):
                fx = x + 0.5
                dist = sdf(fx, fy)
                if dist >= half:
                    continue
                cov = 1.0 if dist <= -half else (half - dist) * inv
                r, g, b, a = solid if solid else paint(fx, fy)
                a *= cov * opacity
                if a <= 0.0:
                    continue
                i = (row + x) * 4
                if touched is not None:
                    touched.add(row + x)
                k = 1.0 - a
                px[i] = r * a + px[i] * k
                px[i + 1] = g * a + px[i + 1] * k
                px[i + 2] = b * a + px[i + 2] * k
                px[i + 3] = a + px[i + 3] * k

    def glow(self, cx, cy, radius, colour, alpha, power=1.0):
        """Radial light: alpha falls from 'alpha' at the centre to 0 at 'radius' as
        (1 - d / radius) ** power. A dedicated loop: glows cover large areas."""
        x0, y0, x1, y1 = self._clip((cx - radius, cy - radius, cx + radius, cy + radius))
        r, g, b = colour[0], colour[1], colour[2]
        px, w = self.px, self.w
        inv = 1.0 / radius
        r2 = radius * radius
        for y in range(y0, y1):
            dy = y + 0.5 - cy
            dy2 = dy * dy
            if dy2 >= r2:
                continue
            for x in range(x0, x1):
                dx = x + 0.5 - cx
                d2 = dx * dx + dy2
                if d2 >= r2:
                    continue
                t = 1.0 - math.sqrt(d2) * inv
                a = alpha * (t if power == 1.0 else t ** power)
                i = (y * w + x) * 4
                k = 1.0 - a
                px[i] = r * a + px[i] * k
                px[i + 1] = g * a + px[i + 1] * k
                px[i + 2] = b * a + px[i + 2] * k
                px[i + 3] = a + px[i + 3] * k

    def paint_rows(self, paint_row, bbox=None):
        """Source-over of a colour that depends on y only (fast vertical gradients)."""
        x0, y0, x1, y1 = self._clip(bbox)
        px, w = self.px, self.w
        for y in range(y0, y1):
            r, g, b, a = paint_row(y + 0.5)
            if a <= 0.0:
                continue
            k = 1.0 - a
            pr, pg, pb = r * a, g * a, b * a
            for i in range((y * w + x0) * 4, (y * w + x1) * 4, 4):
                px[i] = pr + px[i] * k
                px[i + 1] = pg + px[i + 1] * k
                px[i + 2] = pb + px[i + 2] * k
                px[i + 3] = a + px[i + 3] * k

    # -- output ------------------------------------------------------------
    def to_rgba_bytes(self, dither=False, base=None, pixels=None):
        """Straight (non-premultiplied) 8-bit RGBA rows. A fully transparent pixel is
        written as all zeros. 'dither' adds a 4x4 ordered dither to hide banding in
        large gradients. With 'base' (bytes of an earlier conversion) only the pixel
        indices in 'pixels' are converted again."""
        out = bytearray(self.w * self.h * 4) if base is None else bytearray(base)
        px = self.px
        w = self.w
        bayer = (0.5, 8.5, 2.5, 10.5, 12.5, 4.5, 14.5, 6.5, 3.5, 11.5, 1.5, 9.5, 15.5, 7.5, 13.5, 5.5)
        for p in (range(w * self.h) if pixels is None else pixels):
            i = p * 4
            a = px[i + 3]
            if a <= 0.5 / 255.0:
                out[i] = out[i + 1] = out[i + 2] = out[i + 3] = 0
                continue
            if dither:
                y, x = divmod(p, w)
                off = bayer[((y & 3) << 2) + (x & 3)] / 16.0
            else:
                off = 0.5
            ia = 255.0 / a if a < 1.0 else 255.0
            r = int(px[i] * ia + off)
            g = int(px[i + 1] * ia + off)
            b = int(px[i + 2] * ia + off)
            out[i] = 255 if r > 255 else r
            out[i + 1] = 255 if g > 255 else g
            out[i + 2] = 255 if b > 255 else b
            av = int(a * 255.0 + 0.5)
            out[i + 3] = 255 if av > 255 else av
        return bytes(out)

    def _clip(self, bbox):
        if bbox is None:
            return 0, 0, self.w, self.h
        x0, y0, x1, y1 = bbox
        return (max(0, int(math.floor(x0))), max(0, int(math.floor(y0))),
                min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1))))
