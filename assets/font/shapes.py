"""Drawing primitives for the staff font, in pixels of a 30-point glyph box.

Every glyph is designed in the box it is drawn into on the staff: 30 pixels
wide, 40 high, origin at the top-left corner, y growing downwards (as in an
SVG file). Each primitive returns SVG path data; build_font.py turns them into
TrueType outlines.
"""
import math

KAPPA = 0.5522847498  # cubic Bezier approximation of a quarter circle


def _fmt(v):
    return ("%.3f" % v).rstrip("0").rstrip(".")


def polygon(points):
    head, *rest = points
    d = "M %s %s" % (_fmt(head[0]), _fmt(head[1]))
    for x, y in rest:
        d += " L %s %s" % (_fmt(x), _fmt(y))
    return d + " Z"


def ellipse(cx, cy, rx, ry, angle=0.0):
    """An ellipse turned by angle degrees (positive turns clockwise on screen)."""
    a = math.radians(angle)
    ca, sa = math.cos(a), math.sin(a)

    def p(x, y):
        return "%s %s" % (_fmt(cx + x * ca - y * sa), _fmt(cy + x * sa + y * ca))

    k = KAPPA
    return ("M " + p(rx, 0)
            + " C " + p(rx, ry * k) + " " + p(rx * k, ry) + " " + p(0, ry)
            + " C " + p(-rx * k, ry) + " " + p(-rx, ry * k) + " " + p(-rx, 0)
            + " C " + p(-rx, -ry * k) + " " + p(-rx * k, -ry) + " " + p(0, -ry)
            + " C " + p(rx * k, -ry) + " " + p(rx, -ry * k) + " " + p(rx, 0) + " Z")


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def rect(x0, y0, x1, y1):
    return polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def line(p0, p1, width):
    """A straight stroke with square ends."""
    (x0, y0), (x1, y1) = p0, p1
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    return polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


def stroke(points, width):
    """A pen stroke through the points: straight pieces with round joins and ends."""
    paths = [circle(x, y, width / 2) for x, y in points]
    for a, b in zip(points, points[1:]):
        paths.append(line(a, b, width))
    return paths


def _catmull_rom(points, steps):
    """Points of a smooth curve through the given ones (with their widths)."""
    pts = [points[0]] + list(points) + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for s in range(steps):
            t = s / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[j] + (-p0[j] + p2[j]) * t + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t2
                       + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t3)
                for j in range(len(p1))))
    out.append(tuple(points[-1]))
    return out


def brush(points, steps=12, round_ends=True):
    """A calligraphic stroke along a smooth curve through (x, y, width) points.

    The width changes smoothly from point to point, like a broad pen pressed
    harder in some places; the ends are round unless asked otherwise.
    """
    path = _catmull_rom(points, steps)
    left, right = [], []
    for i, (x, y, w) in enumerate(path):
        ax, ay = path[max(i - 1, 0)][:2]
        bx, by = path[min(i + 1, len(path) - 1)][:2]
        dx, dy = bx - ax, by - ay
        n = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / n * w / 2, dx / n * w / 2
        left.append((x + nx, y + ny))
        right.append((x - nx, y - ny))
    paths = [polygon(left + right[::-1])]
    if round_ends:
        for x, y, w in (path[0], path[-1]):
            paths.append(circle(x, y, w / 2))
    return paths


def moved(paths, dx, dy=0.0, scale=1.0):
    """Paths shifted (and scaled about the origin): only for our own polygons
    and ellipses, whose data are plain coordinate pairs after a command."""
    out = []
    for d in paths:
        tokens = d.split()
        res, coord = [], []
        for tok in tokens:
            if tok.isalpha():
                res.append(tok)
                continue
            coord.append(float(tok))
            if len(coord) == 2:
                res.append(_fmt(coord[0] * scale + dx))
                res.append(_fmt(coord[1] * scale + dy))
                coord = []
        out.append(" ".join(res))
    return out
