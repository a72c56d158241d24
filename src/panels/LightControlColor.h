#pragma once
// Colour values of the lighting panel: the UI library's 0xAARRGGBB form and the decimal text of
// one colour channel in an edit box.

#include <QtGui/qrgb.h>
#include <QString>
#include <cstdint>

namespace vx::panels {

namespace light_panel {

inline QRgb MakeArgb(uint8_t red, uint8_t green, uint8_t blue) {
    return 0xFF000000u + (uint32_t(red) << 16) + (uint32_t(green) << 8) + blue;
}
inline uint8_t RedOf(QRgb argb) {
    return uint8_t(argb >> 16);
}
inline uint8_t GreenOf(QRgb argb) {
    return uint8_t(argb >> 8);
}
inline uint8_t BlueOf(QRgb argb) {
    return uint8_t(argb);
}

// The channel value of an edit's text: decimal, leading blanks allowed, conversion stops at the
// first non-digit. Above 255 gives 255; empty, negative or no digits give 0, so that a typed
// "-5" never wraps round to 251.
uint8_t ParseChannelText(const QString& text);

// The text an edit should show for a channel value ("%d").
inline QString ChannelText(uint8_t value) {
    return QString::number(value);
}

}  // namespace light_panel

}  // namespace vx::panels
