#!/usr/bin/env python3
"""Writes the keyboard and mousepad page layouts (skin/XML/DeviceXml/keyboarddevice.xml and
mousepaddevice.xml) and the SVG pictures they use (skin/common/devices/).

The keyboard picture is generated. Which LEDs it shows comes from the keyboard's layout map
(src/devices/lighting/KeyboardGeometry.cpp, kLayoutMap: 23 columns of 7 rows, one LED index per
cell): every LED named there gets a button. The map is the lighting engine's coordinate grid, not
a drawing of the keyboard (its columns are squeezed so that a wave crosses the keyboard evenly), so
where a key is drawn comes from FULL_SIZE below: a full-size keyboard with the usual row stagger,
the gap under the function row, the navigation cluster and the number pad, each key found by its
factory function in src/profiles/FactoryKeyFunctions.cpp (type 0x20: modifier bits and a HID
keyboard usage). LED n and logical key n are the same key, so each key gets an LED button
"light_<n>" (the glow around the cap, tinted with the LED's colour) and above it a key button
"key_<n>" (the cap with its label). Map LEDs whose logical key is not a key of the keyboard
("20 00 00") are the lock indicators: small LEDs without a cap above the number pad.

Run it after changing either table; commit its output."""
import os
import re
import sys
from xml.sax.saxutils import escape

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
GEOMETRY = os.path.join(TOP, "src", "devices", "lighting", "KeyboardGeometry.cpp")
FACTORY = os.path.join(TOP, "src", "profiles", "FactoryKeyFunctions.cpp")
OUT_XML = os.path.join(TOP, "skin", "XML", "DeviceXml")
OUT_IMG = os.path.join(TOP, "skin", "common", "devices")

# ---------------------------------------------------------------- tables from the sources

def read_layout_map():
    text = open(GEOMETRY, encoding="utf-8").read()
    body = text[text.index("kLayoutMap = {"):]
    body = body[: body.index("};")]
    columns = []
    for m in re.finditer(r"L<7>\(\{([^}]*)\}\)", body):
        cells = [c.strip() for c in m.group(1).split(",") if c.strip()]
        cells = [None if c == "X" else int(c) for c in cells]
        cells += [None] * (7 - len(cells))
        columns.append(cells)
    if len(columns) != 23:
        sys.exit("layout map: expected 23 columns, found %d" % len(columns))
    return columns


def read_factory_keys():
    text = open(FACTORY, encoding="utf-8").read()
    body = text[text.index("kKeyboardFactoryKeys = {{"):]
    body = body[: body.index("}};")]
    keys = []
    for m in re.finditer(r"\{0x([0-9A-Fa-f]{2}), 0x([0-9A-Fa-f]{2}), 0x([0-9A-Fa-f]{2})\}", body):
        keys.append(tuple(int(g, 16) for g in m.groups()))
    if len(keys) != 170:
        sys.exit("factory keys: expected 170, found %d" % len(keys))
    return keys


# HID keyboard usages (usage page 7) as printed on a key cap.
USAGE_LABELS = {
    0x28: "Enter", 0x29: "Esc", 0x2A: "Back", 0x2B: "Tab", 0x2C: "", 0x2D: "-", 0x2E: "=",
    0x2F: "[", 0x30: "]", 0x31: "\\", 0x32: "#", 0x33: ";", 0x34: "'", 0x35: "`", 0x36: ",",
    0x37: ".", 0x38: "/", 0x39: "Caps", 0x46: "PrtSc", 0x47: "ScrLk", 0x48: "Pause", 0x49: "Ins",
    0x4A: "Home", 0x4B: "PgUp", 0x4C: "Del", 0x4D: "End", 0x4E: "PgDn", 0x4F: "\u2192",
    0x50: "\u2190", 0x51: "\u2193", 0x52: "\u2191", 0x53: "Num", 0x54: "/", 0x55: "*", 0x56: "-",
    0x57: "+", 0x58: "Ent", 0x62: "0", 0x63: ".", 0x64: "\\", 0x65: "Menu", 0x85: ",",
    0x87: "\u308d", 0x88: "\u304b\u306a", 0x89: "\u00a5", 0x8A: "\u5909\u63db", 0x8B: "\u7121\u5909\u63db",
    0x90: "\ud55c/\uc601", 0x91: "\ud55c\uc790",
}
MODIFIER_LABELS = {0x01: "Ctrl", 0x02: "Shift", 0x04: "Alt", 0x08: "Win", 0x10: "Ctrl", 0x20: "Shift",
                   0x40: "Alt", 0x80: "Win"}
# The keyboard's own keys (types 0xA0 and 0xD0).
OWN_KEY_LABELS = {(0xA0, 0x01): "Fn", (0xA0, 0x1B): "GM", (0xA0, 0x24): "\u263c"}


def key_label(function):
    kind, first, second = function
    if kind == 0x20:
        if second == 0:
            return MODIFIER_LABELS.get(first)
        if 0x04 <= second <= 0x1D:
            return chr(ord("A") + second - 0x04)
        if 0x1E <= second <= 0x27:
            return "1234567890"[second - 0x1E]
        if 0x3A <= second <= 0x45:
            return "F%d" % (second - 0x39)
        if 0x59 <= second <= 0x61:
            return str(second - 0x58)
        return USAGE_LABELS.get(second, "")
    if kind == 0xD0:
        return "M%d" % second
    return OWN_KEY_LABELS.get((kind, first), "")


NO_KEY = (0x20, 0x00, 0x00)

# ---------------------------------------------------------------- .ui writing

def prop(name, value, dynamic=False):
    sd = ' stdset="0"' if dynamic else ""
    if isinstance(value, bool):
        body = "<bool>%s</bool>" % ("true" if value else "false")
    elif isinstance(value, int):
        body = "<number>%d</number>" % value
    elif isinstance(value, tuple) and value[0] == "geom":
        body = "<rect><x>%d</x><y>%d</y><width>%d</width><height>%d</height></rect>" % value[1:]
    elif isinstance(value, tuple) and value[0] == "size":
        body = "<size><width>%d</width><height>%d</height></size>" % value[1:]
    elif isinstance(value, tuple) and value[0] == "enum":
        body = "<enum>%s</enum>" % value[1]
    else:
        body = "<string>%s</string>" % escape(value)
    return '<property name="%s"%s>%s</property>' % (name, sd, body)


DYNAMIC = {"bkimage", "lightimage", "keysetimage", "group", "role", "userdata", "normalimage", "foreimage"}


class W:
    """One widget; `layout` is None for absolute placement of the children (geometry)."""

    def __init__(self, cls, name, layout=None, children=(), margins=(0, 0, 0, 0), spacing=0, **props):
        self.cls, self.name, self.layout, self.children = cls, name, layout, list(children)
        self.margins, self.spacing, self.props = margins, spacing, props

    def xml(self, ind=""):
        out = ['%s<widget class="%s" name="%s">' % (ind, self.cls, self.name)]
        for k, v in self.props.items():
            if k == "fixed":
                out.append(ind + " " + prop("minimumSize", ("size",) + v))
                out.append(ind + " " + prop("maximumSize", ("size",) + v))
            elif k == "fixed_w":
                out.append(ind + " " + prop("minimumSize", ("size", v, 0)))
                out.append(ind + " " + prop("maximumSize", ("size", v, 16777215)))
            elif k == "fixed_h":
                out.append(ind + " " + prop("minimumSize", ("size", 0, v)))
                out.append(ind + " " + prop("maximumSize", ("size", 16777215, v)))
            elif k == "hidden":
                out.append(ind + " " + prop("visible", not v))
            else:
                out.append(ind + " " + prop(k, v, k in DYNAMIC))
        if self.layout:
            out.append('%s <layout class="%s" name="%s_layout">' % (ind, self.layout, self.name))
            out.append(ind + "  " + prop("spacing", self.spacing))
            for side, value in zip(("left", "top", "right", "bottom"), self.margins):
                out.append(ind + "  " + prop(side + "Margin", value))
            for child in self.children:
                out.append(ind + "  <item>")
                out.append(child.xml(ind + "   ") if isinstance(child, W) else child.xml(ind + "   "))
                out.append(ind + "  </item>")
            out.append(ind + " </layout>")
        else:
            for child in self.children:
                out.append(child.xml(ind + " "))
        out.append(ind + "</widget>")
        return "\n".join(out)


class Spacer:
    def __init__(self, name, horizontal=True, size=0, expanding=True):
        self.name, self.horizontal, self.size, self.expanding = name, horizontal, size, expanding

    def xml(self, ind=""):
        orient = "Qt::Horizontal" if self.horizontal else "Qt::Vertical"
        policy = "QSizePolicy::Expanding" if self.expanding else "QSizePolicy::Fixed"
        hint = (self.size, 0) if self.horizontal else (0, self.size)
        return ('%s<spacer name="%s">%s%s%s</spacer>'
                % (ind, self.name, prop("orientation", ("enum", orient)), prop("sizeType", ("enum", policy)),
                   prop("sizeHint", ("size",) + hint)))


def document(cls, root):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<!-- Generated by tools/skin/make_device_pages.py. -->\n'
            '<ui version="4.0">\n <class>%s</class>\n%s\n</ui>\n' % (cls, root.xml(" ")))


# ---------------------------------------------------------------- shared page parts

PANEL_STYLE = ("QWidget#%s { background-color: #1B1E25; border: 1px solid #262A33; border-radius: 10px; }")
TITLE_STYLE = "color: #8C93A0; font-size: 12px;"
OPTION_STYLE = ("QPushButton { background-color: #232731; border: 1px solid #323845; border-radius: 6px;"
                " color: #D5D9E0; padding: 0 10px; }"
                " QPushButton:checked { background-color: #0A7BFF; border-color: #1AA7FF; color: #FFFFFF; }")


def label(name, key, width=None, style=TITLE_STYLE):
    props = {"text": "%%[%s]" % key, "styleSheet": style}
    if width:
        props["fixed_w"] = width
    return W("QLabel", name, **props)


def option(name, key, group=None, width=72):
    props = {"text": "%%[%s]" % key, "checkable": True, "fixed": (width, 28), "styleSheet": OPTION_STYLE}
    if group:
        props["group"] = group
    return W("Option", name, **props)


def panel_slot(name, hint_key):
    """A named, empty container where a feature panel goes; shows a quiet hint until it does."""
    return W("QWidget", name, "QVBoxLayout", [
        Spacer(name + "_top", horizontal=False),
        W("QLabel", name + "_hint", text="%%[%s]" % hint_key, alignment=("enum", "Qt::AlignCenter"),
          styleSheet="color: #5F6673; font-size: 12px;"),
        Spacer(name + "_bottom", horizontal=False),
    ], margins=(10, 10, 10, 10), styleSheet=PANEL_STYLE % name)


BUTTON_STYLE = ("QPushButton { background-color: #232731; border: 1px solid #323845; border-radius: 6px;"
                " color: #D5D9E0; padding: 0 10px; } QPushButton:hover { border-color: #4A5262; }")


def button(name, key, width=None, tip=None):
    props = {"text": "%%[%s]" % key, "fixed_h": 28, "styleSheet": BUTTON_STYLE}
    if width:
        props["fixed_w"] = width
    if tip:
        props["toolTip"] = "%%[%s]" % tip
    return W("QPushButton", name, **props)


def icon_button(name, image, tip):
    return W("QPushButton", name, fixed=(28, 28), toolTip="%%[%s]" % tip,
             foreimage="file='%s' dest='4,4,24,24'" % image, styleSheet=BUTTON_STYLE.replace("padding: 0 10px;", "padding: 0;"))


def profile_column():
    """The profile panel's place with the page's "restore defaults" button below it."""
    return W("QWidget", "profile_column", "QVBoxLayout", [
        panel_slot("DeviceProfileItem", "panel_pending_profile"),
        button("default_btn", "page_default_text", tip="page_default_tip"),
    ], spacing=6, fixed_w=190)


def settings_page():
    row = lambda name, children: W("QWidget", name, "QHBoxLayout", children, spacing=8)
    return W("QWidget", "keyboard_settings_page", "QVBoxLayout", [
        row("polling_rate_row", [label("polling_rate_title", "kb_polling_rate", 100)]
            + [option("polling_rate_option_%d" % i, "kb_polling_%d" % i, "kb_polling") for i in range(4)]
            + [Spacer("polling_rate_gap")]),
        row("repeat_delay_row", [label("repeat_delay_title", "kb_repeat_delay", 100)]
            + [option("repeat_delay_check_%d" % i, "kb_repeat_delay_%d" % i, "kb_repeat_delay") for i in range(4)]
            + [W("QLabel", "repeat_delay_time_label1", styleSheet="color: #1AA7FF; padding-left: 6px;", fixed_w=110),
               Spacer("repeat_delay_gap")]),
        row("repeat_rate_row", [label("repeat_rate_title", "kb_repeat_rate", 100),
                                W("QSlider", "repeat_rate_slider", orientation=("enum", "Qt::Horizontal"),
                                  minimum=0, maximum=31, fixed_w=300),
                                button("reset_repeat_btn", "kb_repeat_reset", tip="kb_repeat_reset_tip"),
                                Spacer("repeat_rate_gap")]),
        row("lock_row", [label("lock_title", "kb_locks", 100),
                         option("winlockflag_option", "kb_win_lock", width=110),
                         option("wflag_option", "kb_w_flag", width=110),
                         option("6flag_option", "kb_6key", width=110),
                         Spacer("lock_gap")]),
        row("repeat_test_row", [label("repeat_test_title", "kb_repeat_test", 100),
                                W("QLineEdit", "repeat_input_richedit", placeholderText="",
                                  fixed_h=28, styleSheet="background-color: #14161B; border: 1px solid #323845;"
                                  " border-radius: 6px; padding: 0 8px;"),
                                ]),
        Spacer("settings_bottom", horizontal=False),
    ], margins=(16, 12, 16, 8), spacing=8, styleSheet=PANEL_STYLE % "keyboard_settings_page")


# ---------------------------------------------------------------- keyboard

# Where every key sits on a full-size keyboard, in key units (1 u is the pitch of a letter key),
# row by row from the top; the function row stands half a unit above the others. An item is
# (function, width) or (function, width, height) for the two tall keys of the number pad, or
# (GAP, width) for empty space; INDICATOR is a lock light. Keys that the layout map does not name
# (the ISO and JIS extras, the macro keys) are left out of the picture.
GAP = "gap"
INDICATOR = "indicator"


def usage(u):
    return (0x20, 0x00, u)


def modifier(bits):
    return (0x20, bits, 0x00)


def keys(first, last):
    return [(usage(u), 1) for u in range(first, last + 1)]


def each(usages):
    return [(usage(u), 1) for u in usages]


FULL_SIZE = [
    # Esc, F1-F12 in groups of four, Print Screen, Scroll Lock, Pause; over the number pad the
    # keyboard's lighting key and the three lock lights.
    (0.0, [(usage(0x29), 1), (GAP, 1)] + keys(0x3A, 0x3D) + [(GAP, 0.5)] + keys(0x3E, 0x41) + [(GAP, 0.5)]
     + keys(0x42, 0x45) + [(GAP, 0.25)] + keys(0x46, 0x48) + [(GAP, 0.25), ((0xA0, 0x24, 0x00), 1)]
     + [(INDICATOR, 1)] * 3),
    # ` 1-0 - = Backspace; Insert Home Page Up; Num Lock / * -.
    (1.5, each([0x35] + list(range(0x1E, 0x28)) + [0x2D, 0x2E]) + [(usage(0x2A), 2), (GAP, 0.25)]
     + each([0x49, 0x4A, 0x4B]) + [(GAP, 0.25)] + each([0x53, 0x54, 0x55, 0x56])),
    # Tab Q-P [ ] \; Delete End Page Down; 7 8 9 and the tall +.
    (2.5, [(usage(0x2B), 1.5)] + each([0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30])
     + [(usage(0x31), 1.5), (GAP, 0.25)] + each([0x4C, 0x4D, 0x4E]) + [(GAP, 0.25)]
     + each([0x5F, 0x60, 0x61]) + [(usage(0x57), 1, 2)]),
    # Caps Lock A-L ; ' Enter; 4 5 6.
    (3.5, [(usage(0x39), 1.75)] + each([0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34])
     + [(usage(0x28), 2.25), (GAP, 3.5)] + each([0x5C, 0x5D, 0x5E])),
    # Shift Z-M , . / Shift; Up; 1 2 3 and the tall Enter.
    (4.5, [(modifier(0x02), 2.25)] + each([0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38])
     + [(modifier(0x20), 2.75), (GAP, 1.25), (usage(0x52), 1), (GAP, 1.25)] + each([0x59, 0x5A, 0x5B])
     + [(usage(0x58), 1, 2)]),
    # Ctrl Win Alt Space Alt Win Fn Menu Ctrl; Left Down Right; the wide 0 and the point. Fn beside
    # the right Windows key makes one key more than usual, so the keys right of the space bar are
    # one unit wide.
    (5.5, [(modifier(0x01), 1.25), (modifier(0x08), 1.25), (modifier(0x04), 1.25), (usage(0x2C), 6.25),
           (modifier(0x40), 1), (modifier(0x80), 1), ((0xA0, 0x01, 0x00), 1), (usage(0x65), 1),
           (modifier(0x10), 1), (GAP, 0.25)] + each([0x50, 0x51, 0x4F]) + [(GAP, 0.25), (usage(0x62), 2),
                                                                           (usage(0x63), 1)]),
]
KEYBOARD_UNITS = (22.5, 6.5)

PITCH = 31.5
KEY_GAP = 2
PICTURE = (742, 242)
ORIGIN = ((PICTURE[0] - KEYBOARD_UNITS[0] * PITCH) / 2, (PICTURE[1] - KEYBOARD_UNITS[1] * PITCH) / 2)
GLOW = "file='common/devices/key_glow.svg' corner='12,12,12,12'"
DOT = "file='common/devices/led_dot.svg'"
CAP_STYLE = ("QPushButton { background-color: rgba(16, 18, 23, 176); border: 1px solid rgba(255, 255, 255, 22);"
             " border-radius: 4px; color: #E7E9EE; font-size: 9px; }"
             " QPushButton:hover { border-color: #1AA7FF; }")
LED_STYLE = "QPushButton { background: transparent; border: none; }"


def full_size_places():
    """Function -> (x, y, width, height) in units, and the places of the lock lights, left to right."""
    places, indicators = {}, []
    for y, items in FULL_SIZE:
        x = 0.0
        for item in items:
            what, width = item[0], item[1]
            height = item[2] if len(item) > 2 else 1
            if what == INDICATOR:
                indicators.append((x, y, width, height))
            elif what != GAP:
                if what in places:
                    sys.exit("full-size layout: %s is placed twice" % (what,))
                places[what] = (x, y, width, height)
            x += width
        if x > KEYBOARD_UNITS[0]:
            sys.exit("full-size layout: the row at %.1f is %.2f units wide" % (y, x))
    return places, indicators


def map_leds(columns):
    """The LEDs the layout map names, in map order (column by column, top to bottom)."""
    leds = []
    for column in columns:
        for led in column:
            if led is not None and led < 170 and led not in leds:
                leds.append(led)
    return leds


def keyboard_keys(columns, factory):
    """(led, x, y, width, height) in units for every LED of the layout map; a width of 0 marks a
    lock light."""
    places, indicators = full_size_places()
    keys = []
    lights = []
    for led in map_leds(columns):
        function = factory[led]
        if function == NO_KEY:
            lights.append(led)
            continue
        if function not in places:
            sys.exit("LED %d (%02X %02X %02X) has no place on the full-size keyboard" % ((led,) + function))
        keys.append((led,) + places[function])
    if len(lights) > len(indicators):
        sys.exit("%d lock lights on the map, %d places" % (len(lights), len(indicators)))
    for led, (x, y, w, h) in zip(sorted(lights), indicators):
        keys.append((led, x, y, 0, h))
    # Reading order, so that moving through the keys goes along the rows.
    return sorted(keys, key=lambda k: (k[2], k[1]))


def to_px(origin, units):
    return int(round(origin + units * PITCH))


def keyboard_picture(columns, factory):
    buttons = []
    caps = []
    for led, ux, uy, uw, uh in keyboard_keys(columns, factory):
        x, y = to_px(ORIGIN[0], ux), to_px(ORIGIN[1], uy)
        if uw == 0:
            cx, cy = to_px(ORIGIN[0], ux + 0.5), to_px(ORIGIN[1], uy + 0.5)
            buttons.append(W("CDeviceKeyButtonUI", "light_%d" % led, geometry=("geom", cx - 6, cy - 6, 12, 12),
                             lightimage=DOT, styleSheet=LED_STYLE))
            continue
        w = to_px(ORIGIN[0], ux + uw) - x - KEY_GAP
        h = to_px(ORIGIN[1], uy + uh) - y - KEY_GAP
        buttons.append(W("CDeviceKeyButtonUI", "light_%d" % led, geometry=("geom", x - 1, y - 1, w + 2, h + 2),
                         lightimage=GLOW, styleSheet=LED_STYLE))
        cw = w - 6
        # The mark of a key whose function was changed sits in the cap's top right corner.
        mark = "file='common/devices/key_set_mark.svg' dest='%d,1,%d,7'" % (cw - 7, cw - 1)
        caps.append(W("CDeviceKeyButtonUI", "key_%d" % led, geometry=("geom", x + 3, y + 3, cw, h - 6),
                      text=key_label(factory[led]) or "", keysetimage=mark, styleSheet=CAP_STYLE))
    # LED buttons first, so that each cap lies over its glow.
    return W("CSelectPanelUI", "SelectPanel", None, buttons + caps, fixed=PICTURE,
             bkimage="file='common/devices/keyboard_body.svg'")


def keyboard_page(columns, factory):
    picture = W("QWidget", "keyboard_device_key_light", "QHBoxLayout", [
        Spacer("picture_left"), keyboard_picture(columns, factory), Spacer("picture_right")],
        margins=(0, 6, 0, 6), fixed_h=PICTURE[1] + 12)
    key_function = W("QStackedWidget", "device_key_function_switch", None, [
        W("QWidget", "key_overview_page", "QVBoxLayout", [
            Spacer("overview_top", horizontal=False),
            W("QLabel", "keyboard_page_hint", text="%[kb_page_hint]", alignment=("enum", "Qt::AlignCenter"),
              styleSheet="color: #8C93A0;"),
            Spacer("overview_bottom", horizontal=False)]),
        panel_slot("KeySetControlItem", "panel_pending"),
        W("QWidget", "key_macro_page", "QVBoxLayout", []),
    ])
    function = W("QStackedWidget", "device_function_switch", None, [
        W("QWidget", "function_key_page", "QVBoxLayout", [key_function]),
        # The custom-colour effect's "every key on / off" sit beside the lighting panel, which
        # needs the page's whole height.
        W("QWidget", "keyboard_light_page", "QHBoxLayout", [
            panel_slot("LightControlItem", "panel_pending"),
            W("QWidget", "custom_colour_column", "QVBoxLayout", [
                icon_button("custom_bright_color_btn", "common/light/keys_on.svg", "kb_custom_all_on_tip"),
                icon_button("custom_off_color_btn", "common/light/keys_off.svg", "kb_custom_all_off_tip"),
                Spacer("custom_colour_gap", horizontal=False)], spacing=6, fixed_w=28)], spacing=6),
        settings_page(),
        panel_slot("MacroControlItem", "panel_pending"),
    ])
    lower = W("QWidget", "keyboard_function_area", "QHBoxLayout", [profile_column(), function],
              margins=(14, 0, 14, 10), spacing=10)
    root = W("QWidget", "keyboard_device_page", "QVBoxLayout", [picture, lower], spacing=6,
             geometry=("geom", 0, 0, 800, 470), styleSheet="QWidget#keyboard_device_page { background-color: #14161B; }")
    return document("TavimondKeyboardDevice", root)


# ---------------------------------------------------------------- mousepad

PAD = (742, 242)
PAD_LED = "file='common/devices/led_strip.svg'"


def mousepad_led_positions():
    """LED 0 at the left edge; 1-7 along the top, left to right; 8-14 along the bottom, right to
    left -- so that the pairs {1,14} ... {7,8} of the pairs effect face each other."""
    x0, x1, top, bottom = 96, 646, 22, 206
    step = (x1 - x0) / 6.0
    pos = {0: ("v", 30, 92)}
    for i in range(7):
        x = int(round(x0 + i * step))
        pos[1 + i] = ("h", x - 30, top)
        pos[14 - i] = ("h", x - 30, bottom)
    return pos


def mousepad_page():
    buttons = []
    for led, (kind, x, y) in sorted(mousepad_led_positions().items()):
        geom = ("geom", x, y, 60, 14) if kind == "h" else ("geom", x, y, 14, 60)
        image = PAD_LED if kind == "h" else "file='common/devices/led_strip_v.svg'"
        buttons.append(W("CDeviceKeyButtonUI", "light_%d" % led, geometry=geom, lightimage=image, styleSheet=LED_STYLE))
    picture = W("QWidget", "mousepad_device_key_light", None, buttons, fixed=PAD,
                bkimage="file='common/devices/mousepad_body.svg'")
    area = W("QWidget", "mousepad_picture_area", "QHBoxLayout", [Spacer("pad_left"), picture, Spacer("pad_right")],
             margins=(0, 6, 0, 6), fixed_h=PAD[1] + 12)
    lower = W("QWidget", "mousepad_function_area", "QHBoxLayout", [
        profile_column(), panel_slot("LightControlItem", "panel_pending")],
        margins=(14, 0, 14, 10), spacing=10)
    root = W("QWidget", "mousepad_device_page", "QVBoxLayout", [area, lower], spacing=6,
             geometry=("geom", 0, 0, 800, 470), styleSheet="QWidget#mousepad_device_page { background-color: #14161B; }")
    return document("TavimondMousePadDevice", root)


# ---------------------------------------------------------------- pictures

SVGS = {
    "key_glow.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <defs><filter id="b" x="-20%" y="-20%" width="140%" height="140%"><feGaussianBlur stdDeviation="2.2"/></filter></defs>
  <rect x="3" y="3" width="58" height="58" rx="9" fill="#ffffff" opacity="0.55" filter="url(#b)"/>
  <rect x="4" y="4" width="56" height="56" rx="8" fill="none" stroke="#ffffff" stroke-width="3"/>
</svg>
""",
    "key_set_mark.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="12" height="12" viewBox="0 0 12 12">
  <circle cx="6" cy="6" r="5" fill="#1AA7FF"/>
</svg>
""",
    "led_dot.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24">
  <circle cx="12" cy="12" r="10" fill="#ffffff" opacity="0.35"/>
  <circle cx="12" cy="12" r="6" fill="#ffffff"/>
</svg>
""",
    "led_strip.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="120" height="28" viewBox="0 0 120 28">
  <rect x="2" y="2" width="116" height="24" rx="12" fill="#ffffff" opacity="0.35"/>
  <rect x="8" y="8" width="104" height="12" rx="6" fill="#ffffff"/>
</svg>
""",
    "led_strip_v.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="28" height="120" viewBox="0 0 28 120">
  <rect x="2" y="2" width="24" height="116" rx="12" fill="#ffffff" opacity="0.35"/>
  <rect x="8" y="8" width="12" height="104" rx="6" fill="#ffffff"/>
</svg>
""",
    "keyboard_body.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="742" height="242" viewBox="0 0 742 242">
  <defs>
    <linearGradient id="plate" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2B2F38"/><stop offset="1" stop-color="#181B21"/>
    </linearGradient>
    <linearGradient id="edge" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#4A505C"/><stop offset="1" stop-color="#20242B"/>
    </linearGradient>
  </defs>
  <rect x="1" y="1" width="740" height="240" rx="14" fill="url(#edge)"/>
  <rect x="4" y="4" width="734" height="234" rx="12" fill="url(#plate)"/>
  <rect x="9" y="8" width="724" height="226" rx="8" fill="#101216" opacity="0.55"/>
</svg>
""",
    "mousepad_body.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="742" height="242" viewBox="0 0 742 242">
  <defs>
    <linearGradient id="mat" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#23262E"/><stop offset="1" stop-color="#15171C"/>
    </linearGradient>
  </defs>
  <rect x="8" y="10" width="726" height="222" rx="22" fill="#0D0F12"/>
  <rect x="14" y="16" width="714" height="210" rx="18" fill="url(#mat)"/>
  <rect x="14" y="16" width="714" height="210" rx="18" fill="none" stroke="#3A3F4A" stroke-width="2"/>
  <text x="700" y="200" text-anchor="end" font-family="DejaVu Sans" font-size="18" font-weight="700"
        fill="#3A3F4A" letter-spacing="4">VEXOR</text>
</svg>
""",
}


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    columns = read_layout_map()
    factory = read_factory_keys()
    write(os.path.join(OUT_XML, "keyboarddevice.xml"), keyboard_page(columns, factory))
    write(os.path.join(OUT_XML, "mousepaddevice.xml"), mousepad_page())
    for name, text in SVGS.items():
        write(os.path.join(OUT_IMG, name), text)


if __name__ == "__main__":
    main()
