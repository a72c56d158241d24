#!/usr/bin/env python3
"""Writes the skin's Qt Designer layouts (skin/XML/*.xml, skin/menu.xml) from the compact
descriptions below. The output files are ordinary .ui documents and may also be edited by hand
or in Designer; rerun this only when you want to regenerate them from here."""
import os
import sys
from xml.sax.saxutils import escape

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def prop(name, value, dynamic=False):
    sd = ' stdset="0"' if dynamic else ""
    if isinstance(value, bool):
        body = "<bool>%s</bool>" % ("true" if value else "false")
    elif isinstance(value, int):
        body = "<number>%d</number>" % value
    elif isinstance(value, tuple) and value[0] == "size":
        body = "<size><width>%d</width><height>%d</height></size>" % value[1:]
    elif isinstance(value, tuple) and value[0] == "rect":
        body = "<rect><x>0</x><y>0</y><width>%d</width><height>%d</height></rect>" % value[1:]
    elif isinstance(value, tuple) and value[0] == "set":
        body = "<set>%s</set>" % value[1]
    elif isinstance(value, tuple) and value[0] == "enum":
        body = "<enum>%s</enum>" % value[1]
    else:
        body = "<string>%s</string>" % escape(value)
    return '<property name="%s"%s>%s</property>' % (name, sd, body)


DYNAMIC = {"caption", "foreimage", "hotforeimage", "bkimage", "bkcolor", "group", "normalimage",
           "hotimage", "pushedimage", "selectedimage", "userdata", "innercolor", "forecolor",
           "role", "separator"}


class W:
    def __init__(self, cls, name, layout=None, children=(), margins=(0, 0, 0, 0), spacing=0, item_align=None,
                 **props):
        self.cls, self.name, self.layout, self.children = cls, name, layout, list(children)
        self.item_align = item_align
        self.margins, self.spacing, self.props = margins, spacing, props

    def xml(self, ind=""):
        out = ['%s<widget class="%s" name="%s">' % (ind, self.cls, self.name)]
        for k, v in self.props.items():
            if k == "fixed":
                out.append(ind + " " + prop("minimumSize", ("size",) + v))
                out.append(ind + " " + prop("maximumSize", ("size",) + v))
            elif k == "fixed_h":
                out.append(ind + " " + prop("minimumSize", ("size", 0, v)))
                out.append(ind + " " + prop("maximumSize", ("size", 16777215, v)))
            elif k == "hidden":
                out.append(ind + " " + prop("visible", not v))
            elif k == "align":
                out.append(ind + " " + prop("alignment", ("set", v)))
            else:
                out.append(ind + " " + prop(k, v, k in DYNAMIC))
        if self.layout:
            out.append('%s <layout class="%s" name="%s_layout">' % (ind, self.layout, self.name))
            out.append(ind + "  " + prop("spacing", self.spacing))
            for side, m in zip(("left", "top", "right", "bottom"), self.margins):
                out.append(ind + "  " + prop(side + "Margin", m))
            for c in self.children:
                align = getattr(c, "item_align", None)
                out.append(ind + ('  <item alignment="%s">' % align if align else "  <item>"))
                out.append(c.xml(ind + "   "))
                out.append(ind + "  </item>")
            out.append(ind + " </layout>")
        else:
            for c in self.children:
                out.append(c.xml(ind + " "))
        out.append(ind + "</widget>")
        return "\n".join(out)


class Stretch:
    def __init__(self, name, vertical=False, size=0):
        self.name, self.vertical, self.size = name, vertical, size

    def xml(self, ind=""):
        orient = "Qt::Vertical" if self.vertical else "Qt::Horizontal"
        policy = "QSizePolicy::Fixed" if self.size else "QSizePolicy::Expanding"
        w, h = (0, self.size) if self.vertical else (self.size, 0)
        return ('%s<spacer name="%s">%s%s%s</spacer>' %
                (ind, self.name, prop("orientation", ("enum", orient)),
                 prop("sizeType", ("enum", policy)), prop("sizeHint", ("size", w, h))))


def doc(cls, root):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<ui version="4.0">\n <class>%s</class>\n%s\n'
            ' <resources/>\n <connections/>\n</ui>\n' % (cls, root.xml(" ")))


def title_button(name, icon, hidden=False, tip=None):
    props = dict(fixed=(36, 36), foreimage="file='common/title/%s.svg' dest='8,8,28,28'" % icon,
                 role="title")
    if tip:
        props["toolTip"] = "%%[%s]" % tip
    if hidden:
        props["hidden"] = True
    return W("QPushButton", name, **props)


def main_layout():
    title = W("QWidget", "title_bar", "QHBoxLayout", margins=(18, 0, 10, 0), spacing=4, fixed_h=56, children=[
        W("QLabel", "title_logo", fixed=(30, 30), bkimage="file='common/logo.svg'"),
        Stretch("title_gap", size=10),
        W("QLabel", "title_text", text="%[main_title]"),
        Stretch("title_stretch"),
        title_button("gamemodebtn", "gamemode", hidden=True),
        title_button("cloudbtn", "cloud", hidden=True),
        title_button("smarteyesbtn", "eye", hidden=True),
        title_button("skinbtn", "skin", tip="skin_tip"),
        title_button("setbtn", "settings", tip="settings_tip"),
        W("QLabel", "title_separator", fixed=(1, 20)),
        title_button("minbtn", "minimize", tip="min_tip"),
        title_button("maxbtn", "maximize", tip="max_tip"),
        title_button("restorebtn", "restore", hidden=True, tip="restore_tip"),
        title_button("closebtn", "close", tip="close_tip"),
    ])
    selector = W("QWidget", "device_bar", "QHBoxLayout", margins=(18, 10, 18, 10), spacing=8, fixed_h=68, children=[
        W("QLabel", "device_bar_title", text="%[devices_title]"),
        Stretch("device_bar_gap", size=8),
        W("HorizontalLayout", "device_select_layout", "QHBoxLayout", spacing=8),
        Stretch("device_bar_stretch"),
        W("QPushButton", "device_select_prev", fixed=(28, 28), role="arrow",
          foreimage="file='common/arrow_left.svg' dest='6,6,22,22'"),
        W("QPushButton", "device_select_next", fixed=(28, 28), role="arrow",
          foreimage="file='common/arrow_right.svg' dest='6,6,22,22'"),
        W("QStackedWidget", "device_power_switch", fixed=(180, 44), children=[
            W("QWidget", "device_power_none"),
        ]),
    ])
    nodevice = W("QWidget", "No_device_Link", "QVBoxLayout", spacing=10, minimumSize=("size", 460, 0), children=[
        Stretch("nodevice_top", vertical=True),
        W("QLabel", "nodevice_image", fixed=(220, 150), bkimage="file='common/nodevice.svg'",
          item_align="Qt::AlignHCenter"),
        Stretch("nodevice_gap", vertical=True, size=12),
        W("QLabel", "nodevice_title", text="%[nodevice_title]", align="Qt::AlignCenter"),
        W("QLabel", "nodevice_hint", text="%[nodevice_hint]", align="Qt::AlignCenter", wordWrap=True),
        Stretch("nodevice_gap2", vertical=True, size=14),
        W("QWidget", "nodevice_buttons", "QHBoxLayout", children=[
            Stretch("nodevice_left"),
            W("QPushButton", "nodevice_ok_btn", text="%[nodevice_ok]", fixed=(180, 38), role="primary"),
            Stretch("nodevice_right"),
        ]),
        Stretch("nodevice_bottom", vertical=True),
    ])
    body = W("QStackedWidget", "device_switch", children=[
        W("QWidget", "device_page_none", "QHBoxLayout", children=[
            Stretch("page_none_left"), nodevice, Stretch("page_none_right")]),
    ])
    footer = W("QWidget", "footer", "QHBoxLayout", margins=(18, 0, 18, 0), spacing=10, fixed_h=38, children=[
        W("QPushButton", "control_light_status", text="%[light_control_on]", role="link"),
        Stretch("footer_stretch"),
        W("QProgressBar", "setting_progress", fixed=(140, 4), hidden=True, value=0),
        W("QLabel", "main_version", text="%[version_text]"),
    ])
    root = W("QWidget", "root", "QVBoxLayout", geometry=("rect", 800, 572), caption=56,
             children=[title, selector, body, footer])
    return doc("MainWnd", root)


def msg_layout():
    title = W("QWidget", "msg_title_bar", "QHBoxLayout", margins=(22, 0, 8, 0), fixed_h=48, children=[
        W("QLabel", "MessageTitle", text="%[msg_title]"),
        Stretch("msg_title_stretch"),
        title_button("closebtn", "close", tip="close_tip"),
    ])
    text = W("QWidget", "msg_body", "QHBoxLayout", margins=(24, 6, 24, 6), spacing=14, children=[
        W("QLabel", "msg_icon", fixed=(32, 32), bkimage="file='common/msg_icon.svg'"),
        W("QLabel", "MessageText", text="", wordWrap=True, align="Qt::AlignLeft|Qt::AlignVCenter"),
    ])
    buttons = W("QWidget", "msg_buttons", "QHBoxLayout", margins=(22, 4, 22, 20), spacing=10, fixed_h=62, children=[
        Stretch("msg_buttons_stretch"),
        W("QPushButton", "cancel_btn", text="%[cancel]", fixed=(104, 36), role="secondary"),
        W("QPushButton", "confirm_btn", text="%[confirm]", fixed=(104, 36), role="primary"),
    ])
    root = W("QWidget", "root", "QVBoxLayout", geometry=("rect", 420, 220), caption=48,
             children=[title, text, buttons])
    return doc("MsgWnd", root)


def menu_layout():
    root = W("QWidget", "tray_menu", "QVBoxLayout", children=[
        W("QPushButton", "setwnd_menu", text="%[menu_settings]"),
        W("QPushButton", "about_menu", text="%[menu_about]", separator=True),
        W("QPushButton", "exit", text="%[menu_exit]"),
    ])
    return doc("Menu", root)


def write(rel, text):
    path = os.path.join(TOP, "skin", rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    write("XML/main.xml", main_layout())
    write("XML/msgwnd.xml", msg_layout())
    write("menu.xml", menu_layout())
    sys.exit(0)
