"""Writes the colour picker layout (skin/XML/PalletDialog.xml): palette, red/green/blue edits, 20 preset
and 20 collected swatches, the seven-colour option and the OK/Cancel buttons."""
import os
import sys
presets=['FFFF0000','FFFF8000','FFFFFF00','FF80FF00','FF00FF00','FF00FF80','FF00FFFF','FF0080FF','FF0000FF','FF8000FF','FFFF00FF','FFFF0080','FFFFFFFF','FFC0C0C0','FF808080','FF404040','FFFFC0C0','FFC0FFC0','FFC0C0FF','FF0099FF']
def size(w,h): return f'<property name="minimumSize"><size><width>{w}</width><height>{h}</height></size></property><property name="maximumSize"><size><width>{w}</width><height>{h}</height></size></property>'
def hstretch(n): return f'<item><spacer name="{n}"><property name="orientation"><enum>Qt::Horizontal</enum></property><property name="sizeType"><enum>QSizePolicy::Expanding</enum></property><property name="sizeHint"><size><width>0</width><height>0</height></size></property></spacer></item>'
def vstretch(n): return f'<item><spacer name="{n}"><property name="orientation"><enum>Qt::Vertical</enum></property><property name="sizeType"><enum>QSizePolicy::Expanding</enum></property><property name="sizeHint"><size><width>0</width><height>0</height></size></property></spacer></item>'
def margins(l,t,r,b,s): return f'<property name="spacing"><number>{s}</number></property><property name="leftMargin"><number>{l}</number></property><property name="topMargin"><number>{t}</number></property><property name="rightMargin"><number>{r}</number></property><property name="bottomMargin"><number>{b}</number></property>'
def swatch(name, colour, group, tip, arg):
    return (f'<widget class="Option" name="{name}">{size(28,28)}'
            f'<property name="bkcolor" stdset="0"><string>#{colour}</string></property>'
            f'<property name="group" stdset="0"><string>{group}</string></property>'
            f'<property name="foreimage" stdset="0"><string>file=\'common/light/swatch.svg\'</string></property>'
            f'<property name="hotforeimage" stdset="0"><string>file=\'common/light/swatch_hot.svg\'</string></property>'
            f'<property name="selectedimage" stdset="0"><string>file=\'common/light/swatch_selected.svg\'</string></property>'
            f'<property name="bordersize" stdset="0"><number>1</number></property>'
            f'<property name="role" stdset="0"><string>swatch</string></property>'
            f'<property name="accessibleName"><string>%[{tip}]</string></property>'
            f'</widget>')
def grid(prefix, colours, group, tip):
    out=[f'<layout class="QGridLayout" name="{prefix}grid">{margins(0,0,0,0,6)}']
    for i,c in enumerate(colours):
        out.append(f'<item row="{i//10}" column="{i%10}">{swatch(prefix+str(i), c, group, tip, i)}</item>')
    out.append('</layout>')
    return ''.join(out)
def label(name,key,role=None):
    r=f'<property name="role" stdset="0"><string>{role}</string></property>' if role else ''
    return f'<widget class="QLabel" name="{name}"><property name="text"><string>%[{key}]</string></property>{r}</widget>'
def edit(name,tip):
    return (f'<widget class="QLineEdit" name="{name}">{size(48,28)}<property name="role" stdset="0"><string>channel</string></property>'
            f'<property name="maxLength"><number>4</number></property><property name="alignment"><set>Qt::AlignCenter</set></property>'
            f'<property name="toolTip"><string>%[{tip}]</string></property></widget>')
title_btn=lambda n,img,tip: f'<item><widget class="QPushButton" name="{n}">{size(36,36)}<property name="foreimage" stdset="0"><string>file=\'common/title/{img}.svg\' dest=\'8,8,28,28\'</string></property><property name="role" stdset="0"><string>title</string></property><property name="toolTip"><string>%[{tip}]</string></property></widget></item>'
x=f'''<?xml version="1.0" encoding="UTF-8"?>
<!-- The colour picker: palette, red/green/blue, 20 preset and 20 collected swatches. -->
<ui version="4.0">
 <class>ColorSelectWnd</class>
 <widget class="QWidget" name="root">
  <property name="geometry"><rect><x>0</x><y>0</y><width>800</width><height>572</height></rect></property>
  <property name="caption" stdset="0"><number>48</number></property>
  <property name="styleSheet"><string>QLabel[role="section"] {{ font-size: 14px; font-weight: 600; color: #F2F4F7; }}
QLabel[role="hint"] {{ color: #8C93A0; }}
QWidget#pallet_frame {{ background-color: #171A20; border: 1px solid #2A2F39; border-radius: 8px; }}</string></property>
  <layout class="QVBoxLayout" name="root_layout">{margins(0,0,0,0,0)}
   <item><widget class="QWidget" name="title_bar">{'<property name="minimumSize"><size><width>0</width><height>48</height></size></property><property name="maximumSize"><size><width>16777215</width><height>48</height></size></property>'}
    <layout class="QHBoxLayout" name="title_bar_layout">{margins(22,0,8,0,4)}
     <item>{label("title_text","color_picker_title")}</item>
     {hstretch("title_stretch")}
     {title_btn("minbtn","minimize","min_tip")}
     {title_btn("closebtn","close","close_tip")}
    </layout></widget></item>
   <item><widget class="QWidget" name="pallet_body">
    <layout class="QHBoxLayout" name="pallet_body_layout">{margins(24,10,24,10,20)}
     <item><widget class="QWidget" name="pallet_frame">
      <property name="minimumSize"><size><width>340</width><height>0</height></size></property>
      <layout class="QVBoxLayout" name="pallet_frame_layout">{margins(12,12,12,12,0)}
       <item><widget class="ColorPalette" name="Pallet">
        <property name="sizePolicy"><sizepolicy hsizetype="Expanding" vsizetype="Expanding"><horstretch>0</horstretch><verstretch>0</verstretch></sizepolicy></property>
        <property name="toolTip"><string>%[light_palette_tip]</string></property>
       </widget></item>
      </layout></widget></item>
     <item><layout class="QVBoxLayout" name="pallet_side">{margins(0,0,0,0,10)}
      <item><layout class="QHBoxLayout" name="result_row">{margins(0,0,0,0,12)}
       <item><widget class="QPushButton" name="color_show_btn">{size(64,64)}
        <property name="bkcolor" stdset="0"><string>#FFFFFFFF</string></property>
        <property name="foreimage" stdset="0"><string>file='common/light/preview.svg'</string></property>
        <property name="role" stdset="0"><string>preview</string></property>
        <property name="focusPolicy"><enum>Qt::NoFocus</enum></property>
        <property name="accessibleName"><string>%[color_picker_result]</string></property>
       </widget></item>
       <item><layout class="QGridLayout" name="rgb_grid">{margins(0,0,0,0,6)}
        <item row="0" column="0">{label("color_edit_r_label","light_channel_r")}</item>
        <item row="0" column="1">{edit("color_edit_r","light_red_tip")}</item>
        <item row="0" column="2">{label("color_edit_g_label","light_channel_g")}</item>
        <item row="0" column="3">{edit("color_edit_g","light_green_tip")}</item>
        <item row="0" column="4">{label("color_edit_b_label","light_channel_b")}</item>
        <item row="0" column="5">{edit("color_edit_b","light_blue_tip")}</item>
       </layout></item>
       {hstretch("result_stretch")}
      </layout></item>
      <item><widget class="QWidget" name="7color_layout">
       <layout class="QHBoxLayout" name="seven_layout">{margins(0,0,0,0,8)}
        <item><widget class="Option" name="7color"><property name="text"><string>%[color_picker_seven]</string></property><property name="checkable"><bool>true</bool></property><property name="minimumSize"><size><width>0</width><height>28</height></size></property></widget></item>
        {hstretch("seven_stretch")}
       </layout></widget></item>
      <item>{label("preset_label","color_picker_presets","section")}</item>
      <item>{grid("color_option_", presets, "pallet_preset", "color_picker_preset_name")}</item>
      <item>{label("collect_label","color_picker_collected","section")}</item>
      <item>{label("collect_hint","color_picker_collected_hint","hint")}</item>
      <item>{grid("collect_color_option_", ['FFFFFFFF']*20, "pallet_collect", "color_picker_collected_name")}</item>
      {vstretch("side_stretch")}
     </layout></item>
    </layout></widget></item>
   <item><widget class="QWidget" name="pallet_buttons">
    <property name="minimumSize"><size><width>0</width><height>62</height></size></property>
    <layout class="QHBoxLayout" name="pallet_buttons_layout">{margins(22,4,22,20,10)}
     {hstretch("buttons_stretch")}
     <item><widget class="QPushButton" name="laterbtn"><property name="minimumSize"><size><width>96</width><height>34</height></size></property><property name="text"><string>%[cancel]</string></property><property name="role" stdset="0"><string>secondary</string></property></widget></item>
     <item><widget class="QPushButton" name="okbtn"><property name="minimumSize"><size><width>96</width><height>34</height></size></property><property name="text"><string>%[confirm]</string></property><property name="role" stdset="0"><string>primary</string></property></widget></item>
    </layout></widget></item>
  </layout>
 </widget>
</ui>
'''
out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..', 'skin', 'XML', 'PalletDialog.xml')
open(out, 'w', encoding='utf-8', newline='\n').write(x)
