#!/usr/bin/env python3
"""Draws every picture of the Velmora dashboard as SVG.

    python3 assets/make_assets.py          writes assets/svg/*.svg and assets/assets.qrc
    python3 assets/make_assets.py --check  fails when the committed files differ from what this draws

The output depends on nothing but this file: no clock, no random numbers, no installed fonts. Numbers are
rounded to two decimals so the same drawing gives the same bytes on every machine.

The SVG stays within what Qt's SVG renderer draws (shapes, paths, gradients, opacity, transforms, text):
no filters, masks, markers or style sheets.
"""

import argparse
import math
import os
import sys
import tempfile
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
SVG_DIR = "svg"
QRC_NAME = "assets.qrc"
QRC_PREFIX = "/assets"

FONT = "Arial, Liberation Sans, DejaVu Sans, sans-serif"

# Palette, tuned for a black dashboard.
TILE = "#14171b"
TILE_EDGE = "#2a2f36"
OFF = "#7a808a"
GREEN_DIM = "#2e9e4f"
GREEN_PALE = "#a6f0b5"
GREEN = "#35d85d"
GREEN_BRIGHT = "#62ff85"
RED = "#ff3b30"
RED_SOFT = "#ff7b72"
WHITE = "#f2f4f7"
BLUE = "#1f6fd8"
SUN = "#ffc83d"
RAIN = "#4fa8ff"
BOLT = "#ffd84a"


# ---------------------------------------------------------------- SVG writing


def num(value):
    """Formats a coordinate with at most two decimals and no trailing zeros."""
    text = f"{round(float(value), 2):.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def points(pairs):
    return " ".join(f"{num(x)},{num(y)}" for x, y in pairs)


def el(tag, attrs=None, children=None, text=None):
    """One element as a list of lines; attributes keep the order given."""
    parts = [tag]
    for key, value in (attrs or {}).items():
        if value is None:
            continue
        if isinstance(value, (int, float)):
            value = num(value)
        parts.append(f'{key}="{escape(str(value), {chr(34): "&quot;"})}"')
    head = "<" + " ".join(parts)
    if text is not None:
        return [f"{head}>{escape(text)}</{tag}>"]
    if not children:
        return [head + "/>"]
    lines = [head + ">"]
    for child in children:
        lines.extend("  " + line for line in child)
    lines.append(f"</{tag}>")
    return lines


def document(width, height, title, children, defs=None):
    body = [el("title", text=title)]
    if defs:
        body.append(el("defs", children=defs))
    body.extend(children)
    root = el(
        "svg",
        {
            "xmlns": "http://www.w3.org/2000/svg",
            "version": "1.1",
            "width": width,
            "height": height,
            "viewBox": f"0 0 {width} {height}",
        },
        body,
    )
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + "\n".join(root) + "\n"


def label(x, y, content, size, fill, weight="bold", anchor="middle", extra=None):
    attrs = {
        "x": x,
        "y": y,
        "font-family": FONT,
        "font-size": size,
        "font-weight": weight,
        "text-anchor": anchor,
        "fill": fill,
    }
    attrs.update(extra or {})
    return el("text", attrs, text=content)


def line(x1, y1, x2, y2, stroke, width, cap="round", extra=None):
    attrs = {
        "x1": x1,
        "y1": y1,
        "x2": x2,
        "y2": y2,
        "stroke": stroke,
        "stroke-width": width,
        "stroke-linecap": cap,
    }
    attrs.update(extra or {})
    return el("line", attrs)


def radial_glow(ident, colour, opacity):
    return el(
        "radialGradient",
        {"id": ident, "cx": 0.5, "cy": 0.5, "r": 0.5},
        [
            el("stop", {"offset": "0", "stop-color": colour, "stop-opacity": opacity}),
            el("stop", {"offset": "1", "stop-color": colour, "stop-opacity": "0"}),
        ],
    )


def linear_gradient(ident, towards, start, end):
    """A two-colour gradient across the shape's box, from its top-left towards (x2, y2)."""
    x2, y2 = towards
    return el(
        "linearGradient",
        {"id": ident, "x1": "0", "y1": "0", "x2": x2, "y2": y2},
        [
            el("stop", {"offset": "0", "stop-color": start}),
            el("stop", {"offset": "1", "stop-color": end}),
        ],
    )


def polar(cx, cy, radius, degrees):
    angle = math.radians(degrees)
    return cx + radius * math.cos(angle), cy + radius * math.sin(angle)


# ---------------------------------------------------------------- lamps, 45 x 45

LAMP = 45


def lamp(title, symbol, glow=None):
    """A dark lamp bezel; a lit lamp gets a soft halo of its own colour behind the symbol."""
    defs = []
    body = [
        el(
            "rect",
            {
                "x": 1.5,
                "y": 1.5,
                "width": 42,
                "height": 42,
                "rx": 7,
                "fill": TILE,
                "stroke": TILE_EDGE,
                "stroke-width": 1,
            },
        )
    ]
    if glow:
        colour, opacity = glow
        defs.append(radial_glow("halo", colour, opacity))
        body.append(el("circle", {"cx": 22.5, "cy": 22.5, "r": 20.5, "fill": "url(#halo)"}))
    body.extend(symbol)
    return document(LAMP, LAMP, title, body, defs)


def abs_symbol(colour):
    ring = el(
        "circle",
        {"cx": 22.5, "cy": 22.5, "r": 13.5, "fill": "none", "stroke": colour, "stroke-width": 2.6},
    )
    brackets = []
    for start, end in ((-48, 48), (132, 228)):
        x1, y1 = polar(22.5, 22.5, 18.5, start)
        x2, y2 = polar(22.5, 22.5, 18.5, end)
        brackets.append(
            el(
                "path",
                {
                    "d": f"M{num(x1)},{num(y1)} A18.5,18.5 0 0 1 {num(x2)},{num(y2)}",
                    "fill": "none",
                    "stroke": colour,
                    "stroke-width": 2.2,
                    "stroke-linecap": "round",
                },
            )
        )
    return [ring] + brackets + [label(22.5, 25.6, "ABS", 8.5, colour)]


def skid_car_symbol(colour):
    body = (
        "M9,20 L11.5,13.5 Q12.3,11.8 14.2,11.8 L30.8,11.8 Q32.7,11.8 33.5,13.5 L36,20 "
        "Q37.5,21 37.5,23 L37.5,26 Q37.5,27.5 36,27.5 L9,27.5 Q7.5,27.5 7.5,26 L7.5,23 Q7.5,21 9,20 Z"
    )
    cabin = "M14.5,11.8 L17,7.4 Q17.5,6.6 18.4,6.6 L26.6,6.6 Q27.5,6.6 28,7.4 L30.5,11.8 Z"
    window = "M12.4,19 L14.2,14.2 L30.8,14.2 L32.6,19 Z"
    marks = ["M16.5,31 C11.5,34 20,37.5 13.5,42", "M28.5,31 C23.5,34 32,37.5 25.5,42"]
    drawing = [
        el("path", {"d": cabin, "fill": colour}),
        el("path", {"d": body, "fill": colour}),
        el("path", {"d": window, "fill": TILE}),
        el("rect", {"x": 9.5, "y": 21.5, "width": 5, "height": 2.6, "rx": 1, "fill": TILE}),
        el("rect", {"x": 30.5, "y": 21.5, "width": 5, "height": 2.6, "rx": 1, "fill": TILE}),
        el("rect", {"x": 9.5, "y": 27, "width": 5.5, "height": 3.5, "rx": 1, "fill": colour}),
        el("rect", {"x": 30, "y": 27, "width": 5.5, "height": 3.5, "rx": 1, "fill": colour}),
    ]
    for mark in marks:
        drawing.append(
            el(
                "path",
                {
                    "d": mark,
                    "fill": "none",
                    "stroke": colour,
                    "stroke-width": 2.2,
                    "stroke-linecap": "round",
                },
            )
        )
    return drawing


def axle_symbol(colour):
    wheel = {"width": 6.5, "height": 22, "rx": 2, "fill": colour}
    return [
        el("rect", dict({"x": 5.5, "y": 8}, **wheel)),
        el("rect", dict({"x": 33, "y": 8}, **wheel)),
        line(12, 19, 33, 19, colour, 3, cap="butt"),
        line(22.5, 24, 22.5, 40, colour, 3),
        el(
            "circle",
            {"cx": 22.5, "cy": 19, "r": 5, "fill": TILE, "stroke": colour, "stroke-width": 2.6},
        ),
    ]


def clutch_symbol(colour):
    return [
        label(22.5, 26.4, "Clutch", 10.5, colour),
        line(10, 31.5, 35, 31.5, colour, 1.6),
    ]


def limiter_symbol(colour, filled):
    triangle = el(
        "path",
        {
            "d": "M22.5,4 L36.5,26 L8.5,26 Z",
            "fill": colour if filled else "none",
            "stroke": colour,
            "stroke-width": 2.4,
            "stroke-linejoin": "round",
        },
    )
    mark = TILE if filled else colour
    words = RED_SOFT if filled else colour
    return [
        triangle,
        el("rect", {"x": 21.3, "y": 11, "width": 2.4, "height": 8, "rx": 1.1, "fill": mark}),
        el("circle", {"cx": 22.5, "cy": 22.1, "r": 1.35, "fill": mark}),
        label(22.5, 34.4, "SPEED", 6.6, words),
        label(22.5, 41.8, "LIMITER", 6.6, words),
    ]


def pit_symbol(letters, arrow):
    return [
        label(22.5, 17.5, "PIT", 12, letters),
        el(
            "path",
            {"d": "M19.5,21.5 L25.5,21.5 L25.5,30 L31.5,30 L22.5,40.5 L13.5,30 L19.5,30 Z", "fill": arrow},
        ),
    ]


def headlamp_symbol(colour):
    drawing = [
        el(
            "path",
            {
                "d": "M23.5,11.5 C33.5,11.5 38.5,16 38.5,22.5 C38.5,29 33.5,33.5 23.5,33.5 Z",
                "fill": "none",
                "stroke": colour,
                "stroke-width": 2.6,
                "stroke-linejoin": "round",
            },
        )
    ]
    for y in (13.5, 18, 22.5, 27, 31.5):
        drawing.append(line(7, y, 19, y, colour, 2.4))
    return drawing


def spark(cx, top, colour):
    shape = [(2, 0), (-7, 11), (-1.5, 11), (-4, 20), (6, 8), (0.5, 8), (3.5, 0)]
    return el("polygon", {"points": points((cx + x, top + y) for x, y in shape), "fill": colour})


def star_burst(cx, cy, outer, inner, spikes, colour):
    corners = []
    for i in range(spikes * 2):
        radius = outer if i % 2 == 0 else inner
        corners.append(polar(cx, cy, radius, -90 + i * 180 / spikes))
    return el("polygon", {"points": points(corners), "fill": colour})


def lamps():
    lit = (GREEN_BRIGHT, 0.45)
    soft = (GREEN, 0.25)
    red = (RED, 0.35)
    return {
        "lamp_img_abs_1.svg": lamp("Anti-lock brakes: off", abs_symbol(OFF)),
        "lamp_img_abs_2.svg": lamp("Anti-lock brakes: level 1", abs_symbol(GREEN_DIM), (GREEN_DIM, 0.2)),
        "lamp_img_abs_3.svg": lamp("Anti-lock brakes: level 2", abs_symbol(GREEN_BRIGHT), lit),
        "lamp_img_stability_1.svg": lamp("Traction aid: off", skid_car_symbol(OFF)),
        "lamp_img_stability_2.svg": lamp("Traction aid: level 1", skid_car_symbol(GREEN_PALE), soft),
        "lamp_img_stability_3.svg": lamp("Traction aid: level 2", skid_car_symbol(GREEN_BRIGHT), lit),
        "lamp_img_traction_1.svg": lamp("Stability aid: off", axle_symbol(OFF)),
        "lamp_img_traction_2.svg": lamp("Stability aid: on", axle_symbol(GREEN), soft),
        "lamp_img_traction_3.svg": lamp("Stability aid: on", axle_symbol(GREEN), soft),
        "lamp_img_embrayage_1.svg": lamp("Automatic clutch: off", clutch_symbol(OFF)),
        "lamp_img_embrayage_2.svg": lamp("Automatic clutch: on", clutch_symbol(GREEN), soft),
        "lamp_img_limiteur_1.svg": lamp("Pit speed limiter: off", limiter_symbol(OFF, False)),
        "lamp_img_limiteur_2.svg": lamp("Pit speed limiter: on", limiter_symbol(RED, True), red),
        "lamp_img_pit_1.svg": lamp("Pit-in: off", pit_symbol(OFF, OFF)),
        "lamp_img_pit_2.svg": lamp("Pit-in: on", pit_symbol(RED_SOFT, RED), red),
        "lamp_img_ligth_1.svg": lamp("Headlights: off", headlamp_symbol(OFF)),
        "lamp_img_ligth_2.svg": lamp("Headlights: on", headlamp_symbol(GREEN), soft),
        "lamp_img_contact_1.svg": lamp(
            "Ignition: off", [spark(22.5, 3.5, RED), label(22.5, 35.5, "Contact", 8.6, RED)]
        ),
        "lamp_img_contact_2.svg": lamp("Ignition: on", [label(22.5, 26, "Contact", 8.6, GREEN)], soft),
        "lamp_img_moteur_1.svg": lamp(
            "Engine: stopped",
            [star_burst(22.5, 13.5, 10, 4, 8, RED), label(22.5, 35.5, "Ignition", 8.6, RED)],
        ),
        "lamp_img_moteur_2.svg": lamp("Engine: running", [label(22.5, 26, "Ignition", 8.6, GREEN)], soft),
    }


# ---------------------------------------------------------------- status, 40 x 40


def status_pictures():
    bar = polar(20, 20, 15.5, -135), polar(20, 20, 15.5, 45)
    unknown = [
        el("circle", {"cx": 20, "cy": 20, "r": 15.5, "fill": "none", "stroke": RED, "stroke-width": 4.5}),
        line(bar[0][0], bar[0][1], bar[1][0], bar[1][1], RED, 4.5, cap="butt"),
    ]
    supported = [
        el("circle", {"cx": 20, "cy": 20, "r": 16, "fill": "none", "stroke": GREEN, "stroke-width": 3}),
        el(
            "polyline",
            {
                "points": "11.5,20.5 17.5,26.5 28.5,13.5",
                "fill": "none",
                "stroke": GREEN,
                "stroke-width": 4.5,
                "stroke-linecap": "round",
                "stroke-linejoin": "round",
            },
        ),
    ]
    return {
        "status_unknown.svg": document(40, 40, "No supported simulator", unknown),
        "status_supported.svg": document(40, 40, "Simulator attached", supported),
    }


# ---------------------------------------------------------------- weather


def trend_arrow(title, degrees):
    arrow = [
        line(3.8, 8, 11, 8, WHITE, 2),
        el(
            "polyline",
            {
                "points": "8,4.8 11.4,8 8,11.2",
                "fill": "none",
                "stroke": WHITE,
                "stroke-width": 2,
                "stroke-linecap": "round",
                "stroke-linejoin": "round",
            },
        ),
    ]
    body = [
        el("circle", {"cx": 8, "cy": 8, "r": 7.5, "fill": BLUE}),
        el("g", {"transform": f"rotate({num(degrees)} 8 8)" if degrees else None}, arrow),
    ]
    return document(16, 16, title, body)


def cloud(x, y, scale, colour):
    """A flat cloud, 32 x 20 units at scale 1, with its top-left corner at (x, y)."""
    parts = [
        el("rect", {"x": 0, "y": 10, "width": 32, "height": 10, "rx": 5, "fill": colour}),
        el("circle", {"cx": 9, "cy": 12, "r": 7, "fill": colour}),
        el("circle", {"cx": 18, "cy": 8.5, "r": 8.5, "fill": colour}),
        el("circle", {"cx": 26, "cy": 13, "r": 6, "fill": colour}),
    ]
    return el("g", {"transform": f"translate({num(x)} {num(y)}) scale({num(scale)})"}, parts)


def sun(cx, cy, radius, ray_from, ray_to, ray_width):
    drawing = []
    for i in range(8):
        x1, y1 = polar(cx, cy, ray_from, i * 45)
        x2, y2 = polar(cx, cy, ray_to, i * 45)
        drawing.append(line(x1, y1, x2, y2, SUN, ray_width))
    drawing.append(el("circle", {"cx": cx, "cy": cy, "r": radius, "fill": SUN}))
    return drawing


def rain(drops, colour, width):
    return [line(x, y, x - 2.5, y + length, colour, width) for x, y, length in drops]


def forecasts():
    light = [(15, 33, 6), (23.5, 35, 6), (32, 33, 6)]
    heavy = [(13, 32, 7), (20, 32, 7), (27, 32, 7), (34, 32, 7)]
    heavy += [(16.5, 40.5, 6), (23.5, 40.5, 6), (30.5, 40.5, 6)]
    storm_rain = [(12, 33, 7), (18, 36, 7), (33, 33, 7), (39, 36, 6)]
    bolt = [(26, 28), (19.5, 38), (24, 38), (21, 46.5), (30.5, 34.5), (25.8, 34.5), (29, 28)]
    pictures = [
        ("Clear sky", sun(24, 24, 9, 13, 19.5, 3)),
        ("Few clouds", sun(18, 18, 7.5, 10.5, 15.5, 2.6) + [cloud(12, 20, 1.05, "#e8ecf1")]),
        ("Overcast", [cloud(13, 8, 0.95, "#6d7580"), cloud(4, 16, 1.2, "#a3acb6")]),
        ("Light showers", [cloud(6, 6, 1.15, "#a3acb6")] + rain(light, RAIN, 2)),
        ("Heavy showers", [cloud(6, 5, 1.15, "#7b848f")] + rain(heavy, RAIN, 2.4)),
        (
            "Storm",
            [cloud(6, 5, 1.15, "#5c6570")]
            + rain(storm_rain, RAIN, 2.2)
            + [el("polygon", {"points": points(bolt), "fill": BOLT})],
        ),
    ]
    return {f"forecast_{i}.svg": document(48, 48, title, body) for i, (title, body) in enumerate(pictures)}


def weather():
    files = {
        "arrow_up.svg": trend_arrow("Rising", -45),
        "arrow_horizontal.svg": trend_arrow("Steady", 0),
        "arrow_down.svg": trend_arrow("Falling", 45),
    }
    files.update(forecasts())
    return files


# ---------------------------------------------------------------- category panel headers, 16 x 16


def headers():
    stopwatch = [
        el("rect", {"x": 6.5, "y": 0.8, "width": 3, "height": 2, "rx": 0.6, "fill": WHITE}),
        line(12.4, 3.6, 13.6, 2.4, WHITE, 1.4),
        el("circle", {"cx": 8, "cy": 9.3, "r": 5.6, "fill": "none", "stroke": WHITE, "stroke-width": 1.6}),
        line(8, 9.3, 8, 5.8, WHITE, 1.4),
        line(8, 9.3, 10.3, 10.6, WHITE, 1.4),
    ]
    thermometer = [
        el(
            "rect",
            {
                "x": 6.2,
                "y": 1,
                "width": 3.6,
                "height": 10,
                "rx": 1.8,
                "fill": "none",
                "stroke": WHITE,
                "stroke-width": 1.2,
            },
        ),
        el("circle", {"cx": 8, "cy": 12.3, "r": 3, "fill": RED}),
        line(8, 5, 8, 11, RED, 1.6),
        line(11.5, 3.5, 13.5, 3.5, WHITE, 1),
        line(11.5, 6, 13.5, 6, WHITE, 1),
        line(11.5, 8.5, 13.5, 8.5, WHITE, 1),
    ]
    droplet = [
        el(
            "path",
            {
                "d": "M8,1.2 C8,1.2 3.2,7.2 3.2,10.3 A4.8,4.8 0 0 0 12.8,10.3 C12.8,7.2 8,1.2 8,1.2 Z",
                "fill": RAIN,
            },
        ),
        el(
            "path",
            {
                "d": "M5.9,10.4 A2.2,2.2 0 0 0 7.6,12.7",
                "fill": "none",
                "stroke": WHITE,
                "stroke-width": 1.1,
                "stroke-linecap": "round",
            },
        ),
    ]
    return {
        "header_session.svg": document(16, 16, "Session", stopwatch),
        "header_temperature.svg": document(16, 16, "Temperature", thermometer),
        "header_wetness.svg": document(16, 16, "Wetness", droplet),
    }


# ---------------------------------------------------------------- driver list, 16 x 16


def driver_list():
    octagon = [polar(8, 8, 7.4, 22.5 + i * 45) for i in range(8)]
    stop_sign = [
        el("polygon", {"points": points(octagon), "fill": RED, "stroke": WHITE, "stroke-width": 0.8}),
        el("rect", {"x": 3.8, "y": 6.9, "width": 8.4, "height": 2.2, "fill": WHITE}),
    ]
    up_arrow = [
        el("polygon", {"points": points([(8, 1.2), (14.2, 8), (10.4, 8), (10.4, 14.8), (5.6, 14.8), (5.6, 8), (1.8, 8)]),
                       "fill": GREEN, "stroke": GREEN_DIM, "stroke-width": 0.8, "stroke-linejoin": "round"}),
    ]
    helmet = [
        el("path", {"d": "M2,11 C2,5.5 5,2.5 9,2.5 C12.6,2.5 14.5,5.2 14.5,8.6 L14.5,11.2 L8.8,11.2 L8.8,13.5 L3.2,13.5 Z",
                    "fill": WHITE}),
        el("path", {"d": "M8.6,6.2 L14.4,6.2 L14.4,9.2 L9.6,9.2 Z", "fill": BLUE}),
    ]
    return {
        "player_in_pits.svg": document(16, 16, "In the pits", stop_sign),
        "player_on_track.svg": document(16, 16, "On track", up_arrow),
        "header_name.svg": document(16, 16, "Drivers", helmet),
    }


# ---------------------------------------------------------------- splash and About, 800 x 600

# Rectangles of the About picture that the About box lays its click areas (and the version text) over.
# Each is also an element of about.svg with this id, so the box can ask the renderer for its bounds.
ABOUT_VERSION = ("area_version", 200, 18, 400, 56)
ABOUT_CONTACT = ("area_contact", 610, 22, 168, 48, "Contact")
ABOUT_WEB_SITE = ("area_web_site", 610, 530, 168, 48, "Web site")
ABOUT_CREDITS = [
    (f"area_credit_{i + 1}", 22, 396 + i * 47, 210, 40, text)
    for i, text in enumerate(("Testing", "Track data", "Translation", "Artwork"))
]


def backdrop():
    gradient = linear_gradient("sky", ("0", "1"), "#0b0e13", "#1b2029")
    accent = linear_gradient("accent", ("1", "0"), "#ff3b30", "#ffb02e")
    sky = el("rect", {"x": 0, "y": 0, "width": 800, "height": 600, "fill": "url(#sky)"})
    return [gradient, accent], [sky]


def tyre(cx, cy, radius, opacity):
    """A tyre seen from the side: a thick ring of tread blocks around a rim."""
    drawing = [
        el(
            "circle",
            {"cx": cx, "cy": cy, "r": radius, "fill": "none", "stroke": "#232830", "stroke-width": 64},
        )
    ]
    for i in range(48):
        x1, y1 = polar(cx, cy, radius - 20, i * 7.5)
        x2, y2 = polar(cx, cy, radius + 32, i * 7.5 + 2.5)
        drawing.append(line(x1, y1, x2, y2, "#11151a", 7, cap="butt"))
    drawing.append(
        el(
            "circle",
            {"cx": cx, "cy": cy, "r": radius - 40, "fill": "none", "stroke": "#3a414b", "stroke-width": 6},
        )
    )
    drawing.append(
        el(
            "circle",
            {"cx": cx, "cy": cy, "r": radius - 70, "fill": "none", "stroke": "#2b313a", "stroke-width": 3},
        )
    )
    return el("g", {"opacity": opacity}, drawing)


def track(d):
    """A ribbon of road with red and white kerbs on both edges and a dashed centre line."""
    return el(
        "g",
        {"fill": "none"},
        [
            el("path", {"d": d, "stroke": WHITE, "stroke-width": 58}),
            el("path", {"d": d, "stroke": "#e23b33", "stroke-width": 58, "stroke-dasharray": "16 16"}),
            el("path", {"d": d, "stroke": "#2a3039", "stroke-width": 46}),
            el(
                "path",
                {"d": d, "stroke": WHITE, "stroke-width": 2, "stroke-dasharray": "18 22", "opacity": 0.45},
            ),
        ],
    )


def splash():
    defs, body = backdrop()
    body += [
        tyre(660, 560, 250, 0.9),
        track("M-40,500 C150,470 250,360 420,370 S690,470 840,330"),
        label(400, 250, "Velmora", 110, WHITE),
        el("rect", {"x": 250, "y": 272, "width": 300, "height": 6, "rx": 3, "fill": "url(#accent)"}),
        label(400, 322, "Race telemetry dashboard", 26, "#aab3bf", weight="normal"),
    ]
    return document(800, 600, "Velmora", body, defs)


def click_area(ident, x, y, width, height, text, icon=None):
    frame = el(
        "rect",
        {
            "id": ident,
            "x": x,
            "y": y,
            "width": width,
            "height": height,
            "rx": 8,
            "fill": "#0e1217",
            "fill-opacity": 0.85,
            "stroke": "#4a5360",
            "stroke-width": 1.5,
        },
    )
    text_x = x + (44 if icon else 16)
    parts = [frame, label(text_x, y + height / 2 + 7, text, 20, WHITE, anchor="start")]
    if icon:
        parts.append(icon(x + 14, y + height / 2))
    return el("g", {}, parts)


def envelope(x, y):
    return el(
        "g",
        {"fill": "none", "stroke": "#ffb02e", "stroke-width": 2, "stroke-linejoin": "round"},
        [
            el("rect", {"x": x, "y": y - 8, "width": 22, "height": 16, "rx": 2}),
            el("polyline", {"points": points([(x, y - 8), (x + 11, y + 1), (x + 22, y - 8)])}),
        ],
    )


def globe(x, y):
    cx = x + 11
    return el(
        "g",
        {"fill": "none", "stroke": "#ffb02e", "stroke-width": 2},
        [
            el("circle", {"cx": cx, "cy": y, "r": 10}),
            el("ellipse", {"cx": cx, "cy": y, "rx": 4.5, "ry": 10}),
            line(cx - 10, y, cx + 10, y, "#ffb02e", 2, cap="butt"),
        ],
    )


def about():
    defs, body = backdrop()
    ident, x, y, width, height = ABOUT_VERSION
    body += [
        tyre(700, 330, 230, 0.55),
        track("M-40,335 C120,310 240,280 390,292 S650,350 840,280"),
        # The version text is drawn over this band by the About box; it stays empty here.
        el("rect", {"id": ident, "x": x, "y": y, "width": width, "height": height, "fill": "none"}),
        label(400, 180, "Velmora", 96, WHITE),
        el("rect", {"x": 270, "y": 200, "width": 260, "height": 6, "rx": 3, "fill": "url(#accent)"}),
        label(400, 240, "Race telemetry dashboard", 24, "#aab3bf", weight="normal"),
        click_area(*ABOUT_CONTACT, icon=envelope),
        click_area(*ABOUT_WEB_SITE, icon=globe),
        label(24, 384, "Credits", 22, "#ffb02e", anchor="start"),
    ]
    body += [click_area(*credit) for credit in ABOUT_CREDITS]
    return document(800, 600, "About Velmora", body, defs)


# ---------------------------------------------------------------- the application icon, 256 x 256

ICON = 256


def app_icon():
    """A rev gauge with its needle high in the range, over a kerb: legible down to 16 x 16."""
    cx, cy, radius = 128, 124, 80
    tile = linear_gradient("tile", ("0", "1"), "#262c36", "#0b0e13")
    red_zone = linear_gradient("red_zone", ("1", "1"), "#ffb02e", RED)

    def arc(start, end, stroke, width):
        x1, y1 = polar(cx, cy, radius, start)
        x2, y2 = polar(cx, cy, radius, end)
        large = 1 if end - start > 180 else 0
        d = f"M{num(x1)},{num(y1)} A{radius},{radius} 0 {large} 1 {num(x2)},{num(y2)}"
        return el("path", {"d": d, "fill": "none", "stroke": stroke, "stroke-width": width})

    body = [
        el(
            "rect",
            {
                "x": 8,
                "y": 8,
                "width": 240,
                "height": 240,
                "rx": 48,
                "fill": "url(#tile)",
                "stroke": TILE_EDGE,
                "stroke-width": 4,
            },
        ),
        arc(135, 315, "#3a414b", 22),
        arc(315, 405, "url(#red_zone)", 22),
    ]
    for i in range(9):
        degrees = 135 + i * 33.75
        x1, y1 = polar(cx, cy, radius - 26, degrees)
        x2, y2 = polar(cx, cy, radius - 14, degrees)
        body.append(line(x1, y1, x2, y2, WHITE, 6))
    tip_x, tip_y = polar(cx, cy, radius - 6, 330)
    body += [
        line(cx, cy, tip_x, tip_y, RED, 12),
        el("circle", {"cx": cx, "cy": cy, "r": 16, "fill": WHITE}),
        el("circle", {"cx": cx, "cy": cy, "r": 6, "fill": TILE}),
        # The kerb: red and white blocks in the gauge's open bottom.
        el("rect", {"x": 64, "y": 196, "width": 128, "height": 22, "rx": 4, "fill": WHITE}),
        line(
            64,
            207,
            192,
            207,
            "#e23b33",
            22,
            cap="butt",
            extra={"stroke-dasharray": "16 16"},
        ),
    ]
    return document(ICON, ICON, "Velmora", body, [tile, red_zone])


# ---------------------------------------------------------------- the whole set


def all_pictures():
    files = {}
    for group in (lamps, status_pictures, weather, headers, driver_list):
        files.update(group())
    files["splash.svg"] = splash()
    files["about.svg"] = about()
    files["velmora.svg"] = app_icon()
    return dict(sorted(files.items()))


def resource_file(names):
    lines = ["<!DOCTYPE RCC>", '<RCC version="1.0">', f'  <qresource prefix="{QRC_PREFIX}">']
    lines += [f'    <file alias="{name}">{SVG_DIR}/{name}</file>' for name in names]
    lines += ["  </qresource>", "</RCC>"]
    return "\n".join(lines) + "\n"


def generate():
    """Everything this script writes, as relative path -> text."""
    pictures = all_pictures()
    for name, text in pictures.items():
        ET.fromstring(text.encode("utf-8"))  # a drawing bug that breaks the XML stops here
    outputs = {f"{SVG_DIR}/{name}": text for name, text in pictures.items()}
    outputs[QRC_NAME] = resource_file(pictures)
    return outputs


def write(root, outputs):
    os.makedirs(os.path.join(root, SVG_DIR), exist_ok=True)
    for relative, text in outputs.items():
        with open(os.path.join(root, relative), "w", encoding="utf-8", newline="\n") as out:
            out.write(text)


def read(path):
    try:
        with open(path, "rb") as source:
            return source.read()
    except OSError:
        return None


def listed_in_qrc(path):
    try:
        tree = ET.parse(path)
    except (OSError, ET.ParseError) as error:
        return None, str(error)
    return [node.text or "" for node in tree.iter("file")], None


def check(root):
    """Lists every difference between the committed pictures and a fresh drawing; True when none."""
    problems = []
    with tempfile.TemporaryDirectory() as fresh:
        outputs = generate()
        write(fresh, outputs)
        for relative in outputs:
            committed = read(os.path.join(root, relative))
            if committed is None:
                problems.append(f"missing: {relative}")
            elif committed != read(os.path.join(fresh, relative)):
                problems.append(f"out of date: {relative}")
    committed_dir = os.path.join(root, SVG_DIR)
    if os.path.isdir(committed_dir):
        for name in sorted(os.listdir(committed_dir)):
            if f"{SVG_DIR}/{name}" not in outputs:
                problems.append(f"not drawn by this script: {SVG_DIR}/{name}")
    listed, error = listed_in_qrc(os.path.join(root, QRC_NAME))
    if error:
        problems.append(f"unreadable {QRC_NAME}: {error}")
    for relative in listed or []:
        if not os.path.isfile(os.path.join(root, relative)):
            problems.append(f"listed in {QRC_NAME} but missing: {relative}")
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print("Run: python3 assets/make_assets.py", file=sys.stderr)
    return not problems


def main():
    parser = argparse.ArgumentParser(description="Draws the dashboard's pictures as SVG.")
    parser.add_argument(
        "--check", action="store_true", help="compare instead of writing; exit 1 on any difference"
    )
    parser.add_argument(
        "--root", default=HERE, help="folder holding svg/ and assets.qrc (default: this script's)"
    )
    args = parser.parse_args()
    if args.check:
        return 0 if check(args.root) else 1
    outputs = generate()
    write(args.root, outputs)
    print(f"wrote {len(outputs)} files under {args.root}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
