"""Writes the recoil panel layout (skin/XML/CustomControlXML/ShootControl.xml): four guns, 30 bullets,
the bullet editor and the file buttons."""
import os
import sys
def size(w,h): return f'<property name="minimumSize"><size><width>{w}</width><height>{h}</height></size></property><property name="maximumSize"><size><width>{w}</width><height>{h}</height></size></property>'
def minsize(w,h): return f'<property name="minimumSize"><size><width>{w}</width><height>{h}</height></size></property>'
def hstretch(n): return f'<item><spacer name="{n}"><property name="orientation"><enum>Qt::Horizontal</enum></property><property name="sizeType"><enum>QSizePolicy::Expanding</enum></property><property name="sizeHint"><size><width>0</width><height>0</height></size></property></spacer></item>'
def vstretch(n): return f'<item><spacer name="{n}"><property name="orientation"><enum>Qt::Vertical</enum></property><property name="sizeType"><enum>QSizePolicy::Expanding</enum></property><property name="sizeHint"><size><width>0</width><height>0</height></size></property></spacer></item>'
def m(l,t,r,b,s): return f'<property name="spacing"><number>{s}</number></property><property name="leftMargin"><number>{l}</number></property><property name="topMargin"><number>{t}</number></property><property name="rightMargin"><number>{r}</number></property><property name="bottomMargin"><number>{b}</number></property>'
def label(name,text,role=None,extra=''):
    r=f'<property name="role" stdset="0"><string>{role}</string></property>' if role else ''
    return f'<widget class="QLabel" name="{name}"><property name="text"><string>{text}</string></property>{r}{extra}</widget>'
def option(name,text,group,role,w,h,tip=None):
    t=f'<property name="toolTip"><string>%[{tip}]</string></property>' if tip else ''
    g=f'<property name="group" stdset="0"><string>{group}</string></property>' if group else '<property name="checkable"><bool>true</bool></property>'
    return f'<widget class="Option" name="{name}">{size(w,h) if w else minsize(0,h)}<property name="text"><string>{text}</string></property>{g}<property name="role" stdset="0"><string>{role}</string></property>{t}</widget>'
def button(name,text,role,w,h,tip=None,fore=None):
    t=f'<property name="toolTip"><string>%[{tip}]</string></property>' if tip else ''
    f=f'<property name="foreimage" stdset="0"><string>{fore}</string></property>' if fore else ''
    tx=f'<property name="text"><string>{text}</string></property>' if text else ''
    return f'<widget class="QPushButton" name="{name}">{size(w,h)}{tx}<property name="role" stdset="0"><string>{role}</string></property>{t}{f}</widget>'
def edit(name,tip):
    return (f'<widget class="QLineEdit" name="{name}">{size(50,28)}<property name="maxLength"><number>6</number></property>'
            f'<property name="alignment"><set>Qt::AlignCenter</set></property><property name="toolTip"><string>%[{tip}]</string></property></widget>')
guns=''.join(f'<item>{option(f"shoot_gun_op_{g}", f"%[shoot_gun_{g}]", "shoot_gun", "pill", 0, 26)}</item>' for g in range(4))
pages=''.join(f'''<widget class="QWidget" name="shoot_gun_page_{g}"><layout class="QVBoxLayout" name="shoot_gun_page_{g}_layout">{m(0,0,0,0,0)}
<item><widget class="QLabel" name="shoot_gun_picture_{g}">{minsize(130,96)}<property name="bkimage" stdset="0"><string>file='common/shoot/gun_{g}.svg'</string></property><property name="accessibleName"><string>%[shoot_gun_{g}]</string></property></widget></item></layout></widget>''' for g in range(4))
bullets=''.join(f'<item row="{b//10}" column="{b%10}">{option(f"bullet_op_{b}", str(b+1), "shoot_bullet", "bullet", 24, 24)}</item>' for b in range(30))
x=f'''<?xml version="1.0" encoding="UTF-8"?>
<!-- The recoil panel of the mouse page: four guns, 30 bullets each, one bullet edited at a time. -->
<ui version="4.0">
 <class>ShootControl</class>
 <widget class="CShootControlUI" name="shoot_control_panel">
  {minsize(460,300)}
  <property name="styleSheet"><string>QWidget[role=&quot;card&quot;] {{ background-color: #1B1E25; border: 1px solid #2A2F39; border-radius: 10px; }}
QLabel[role=&quot;section&quot;] {{ color: #8C93A0; font-size: 11px; font-weight: 600; letter-spacing: 1px; }}
QLabel[role=&quot;caption&quot;] {{ color: #C5CAD3; }}
QLabel[role=&quot;index&quot;] {{ color: #FFFFFF; font-size: 16px; font-weight: 600; }}
QPushButton[role=&quot;pill&quot;] {{ background-color: #232731; border: 1px solid #323845; border-radius: 11px; padding: 0 12px; color: #C5CAD3; font-size: 11px; }}
QPushButton[role=&quot;pill&quot;]:hover {{ border-color: #4A5262; }}
QPushButton[role=&quot;pill&quot;]:checked {{ background-color: #123A57; border-color: #1AA7FF; color: #FFFFFF; }}
QPushButton[role=&quot;bullet&quot;] {{ background-color: #20242C; border: 1px solid #2C313B; border-radius: 5px; color: #8C93A0; font-size: 11px; padding: 0; }}
QPushButton[role=&quot;bullet&quot;]:hover {{ border-color: #4A5262; color: #C5CAD3; }}
QPushButton[role=&quot;bullet&quot;]:checked {{ background-color: #1AA7FF; border-color: #1AA7FF; color: #FFFFFF; }}
QPushButton[role=&quot;direction&quot;] {{ background-color: #232731; border: 1px solid #323845; border-radius: 6px; color: #C5CAD3; font-size: 11px; padding: 0 6px; }}
QPushButton[role=&quot;direction&quot;]:checked {{ border-color: #1AA7FF; color: #1AA7FF; }}</string></property>
  <layout class="QVBoxLayout" name="shoot_root_layout">{m(0,0,0,0,8)}
   <item><layout class="QHBoxLayout" name="shoot_gun_row">{m(0,0,0,0,8)}
    <item>{label("shoot_gun_label","%[shoot_guns]","section")}</item>
    {guns}
    {hstretch("shoot_gun_stretch")}
   </layout></item>
   <item><layout class="QHBoxLayout" name="shoot_middle">{m(0,0,0,0,10)}
    <item><widget class="QWidget" name="shoot_picture_card">
     <property name="role" stdset="0"><string>card</string></property>
     <layout class="QVBoxLayout" name="shoot_picture_card_layout">{m(10,10,10,10,0)}
      <item><widget class="TabLayout" name="shoot_image_display_switch">{pages}</widget></item>
     </layout></widget></item>
    <item><widget class="QWidget" name="shoot_bullet_card">
     <property name="role" stdset="0"><string>card</string></property>
     <layout class="QVBoxLayout" name="shoot_bullet_card_layout">{m(10,10,10,10,8)}
      <item>{label("shoot_bullets_label","%[shoot_bullets]","section")}</item>
      <item><layout class="QGridLayout" name="shoot_bullet_grid">{m(0,0,0,0,4)}{bullets}</layout></item>
      {vstretch("shoot_bullet_stretch")}
     </layout></widget></item>
   </layout></item>
   <item><widget class="QWidget" name="bullet_edit_layout">
    <property name="role" stdset="0"><string>card</string></property>
    <layout class="QHBoxLayout" name="bullet_edit_row">{m(10,8,10,8,6)}
     <item>{button("bullet_selected_prev","","arrow",28,28,"shoot_prev_tip","file='common/arrow_left.svg'")}</item>
     <item>{label("bullet_select_index","1","index",'<property name="alignment"><set>Qt::AlignCenter</set></property>'+minsize(28,0))}</item>
     <item>{button("bullet_selected_next","","arrow",28,28,"shoot_next_tip","file='common/arrow_right.svg'")}</item>
     <item><spacer name="bullet_gap"><property name="orientation"><enum>Qt::Horizontal</enum></property><property name="sizeType"><enum>QSizePolicy::Fixed</enum></property><property name="sizeHint"><size><width>8</width><height>0</height></size></property></spacer></item>
     <item>{option("bullet_x_check","%[mouse_move_to_right_text]",None,"direction",0,28,"shoot_x_tip")}</item>
     <item>{edit("bullet_x_eidt","shoot_distance_tip")}</item>
     <item>{option("bullet_y_check","%[mouse_move_to_down_text]",None,"direction",0,28,"shoot_y_tip")}</item>
     <item>{edit("bullet_y_eidt","shoot_distance_tip")}</item>
     <item>{label("bullet_delay_label","%[shoot_delay_ms]","caption")}</item>
     <item>{edit("bullet_delay_eidt","shoot_delay_tip")}</item>
     {hstretch("bullet_edit_stretch")}
    </layout></widget></item>
   <item><layout class="QHBoxLayout" name="shoot_file_row">{m(0,0,0,0,8)}
    <item><widget class="QPushButton" name="shootdate_import_btn">{minsize(84,30)}<property name="text"><string>%[shoot_import]</string></property><property name="role" stdset="0"><string>secondary</string></property></widget></item>
    <item><widget class="QPushButton" name="shootdate_export_btn">{minsize(84,30)}<property name="text"><string>%[shoot_export]</string></property><property name="role" stdset="0"><string>secondary</string></property></widget></item>
    <item><widget class="QPushButton" name="shootdate_reset_btn">{minsize(84,30)}<property name="text"><string>%[shoot_reset]</string></property><property name="role" stdset="0"><string>secondary</string></property></widget></item>
    {hstretch("shoot_file_stretch")}
    <item><widget class="QPushButton" name="shootdate_save_btn">{minsize(120,30)}<property name="text"><string>%[shoot_save]</string></property><property name="role" stdset="0"><string>primary</string></property></widget></item>
   </layout></item>
  </layout>
 </widget>
</ui>
'''
out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..', 'skin', 'XML', 'CustomControlXML', 'ShootControl.xml')
open(out, 'w', encoding='utf-8', newline='\n').write(x)
