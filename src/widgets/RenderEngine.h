#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
namespace vx::widgets {


// The parsed form of an image-attribute string: name='value' pairs separated by blanks, or a bare
// file name.
struct TImageInfo {
    QString file;          // "file" or "res"
    QRect dest;            // "dest", relative to the drawing rectangle; empty = the whole rectangle
    QRect source;          // "source", in picture pixels; empty = the whole picture
    QMargins corner;       // "corner": borders kept unscaled (left, top, right, bottom)
    bool hasMask = false;  // "mask": this colour becomes transparent
    QRgb mask = 0;
    int fade = 255;       // "fade": 0 transparent .. 255 opaque
    bool hole = false;    // "hole": with corners, leave the middle undrawn
    bool xtiled = false;  // "xtiled"/"ytiled": repeat instead of stretching
    bool ytiled = false;
    bool hsl = false;  // "hsl": follow the skin's hue/saturation/lightness shift
};

// The one painter of image strings used by every skinned control.
class CRenderEngine {
public:
    static TImageInfo ParseImageString(const QString& imageString);
    // Resolves a picture name: absolute paths as they are, others below the resource path, then
    // Qt's resource system (":/...") when no such file exists.
    static QString ResolveImagePath(const QString& name);
    // The picture (SVG rendered at `size` when given), cached; a null image when it cannot be read.
    static QImage LoadImage(const QString& name, QSize size = QSize());
    static QSize ImageSize(const QString& name);

    // Draws `imageString` into `rc`. When `lightFlag` is set the picture is tinted with
    // `lightColor` (0xRRGGBB) at `brightness` (0..255), which is how key buttons show their LED.
    static bool DrawImageString(QPainter& painter, const QRect& rc, const QString& imageString,
                                quint32 lightColor = 0, int brightness = 255, bool lightFlag = false);
    static void DrawColor(QPainter& painter, const QRect& rc, QRgb argb);

    // Skin-wide hue shift (degrees), saturation and lightness factors (100 = unchanged) applied to
    // pictures drawn with hsl='true' and to colours passed through AdjustColor.
    static void SetHsl(int hue, int saturation, int lightness);
    static QRgb AdjustColor(QRgb argb);
    static void ClearCache();

private:
    static QImage ApplyHsl(const QImage& image);
};

}  // namespace vx::widgets
