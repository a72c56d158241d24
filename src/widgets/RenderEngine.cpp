#include "widgets/RenderEngine.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include "widgets/ResourceManager.h"

namespace vx::widgets {

namespace {
int g_hue = 0;
int g_saturation = 100;
int g_lightness = 100;
QHash<QString, QImage> g_cache;

QRect ParseRect(const QString& text) {
    const QStringList parts = text.split(',');
    if (parts.size() != 4) return {};
    return QRect(QPoint(parts[0].trimmed().toInt(), parts[1].trimmed().toInt()),
                 QPoint(parts[2].trimmed().toInt() - 1, parts[3].trimmed().toInt() - 1));
}

bool IsTrue(const QString& value) {
    return value.compare("true", Qt::CaseInsensitive) == 0;
}
}  // namespace

TImageInfo CRenderEngine::ParseImageString(const QString& imageString) {
    TImageInfo info;
    static const QRegularExpression pair(R"((\w+)\s*=\s*'([^']*)')");
    auto it = pair.globalMatch(imageString);
    if (!it.hasNext()) {
        info.file = imageString.trimmed();
        return info;
    }
    while (it.hasNext()) {
        const auto m = it.next();
        const QString name = m.captured(1).toLower();
        const QString value = m.captured(2);
        if (name == "file" || name == "res") {
            info.file = value;
        } else if (name == "dest") {
            info.dest = ParseRect(value);
        } else if (name == "source") {
            info.source = ParseRect(value);
        } else if (name == "corner") {
            const QRect r = ParseRect(value);
            info.corner = QMargins(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        } else if (name == "mask") {
            QString hex = value;
            hex.remove('#');
            bool ok = false;
            info.mask = hex.toUInt(&ok, 16);
            info.hasMask = ok;
        } else if (name == "fade") {
            info.fade = qBound(0, value.toInt(), 255);
        } else if (name == "hole") {
            info.hole = IsTrue(value);
        } else if (name == "xtiled") {
            info.xtiled = IsTrue(value);
        } else if (name == "ytiled") {
            info.ytiled = IsTrue(value);
        } else if (name == "hsl") {
            info.hsl = IsTrue(value);
        }
    }
    return info;
}

QString CRenderEngine::ResolveImagePath(const QString& name) {
    QString path = name;
    path.replace('\\', '/');
    if (path.isEmpty()) return {};
    if (QFileInfo(path).isAbsolute() || path.startsWith(":/")) return path;
    const QString below = CResourceManager::GetInstance().GetResourcePath() + path;
    if (QFileInfo::exists(below)) return below;
    if (QFileInfo::exists(":/" + path)) return ":/" + path;
    return path;
}

QImage CRenderEngine::LoadImage(const QString& name, QSize size) {
    const QString path = ResolveImagePath(name);
    if (path.isEmpty()) return {};
    const bool svg = path.endsWith(".svg", Qt::CaseInsensitive);
    const QString key =
        svg ? QStringLiteral("%1@%2x%3").arg(path).arg(size.width()).arg(size.height()) : path;
    auto it = g_cache.constFind(key);
    if (it != g_cache.constEnd()) return *it;
    QImage image;
    if (svg) {
        QSvgRenderer renderer(path);
        if (renderer.isValid()) {
            const QSize target = size.isValid() && !size.isEmpty() ? size : renderer.defaultSize();
            image = QImage(target, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            renderer.render(&p);
        }
    } else {
        image.load(path);
        if (!image.isNull()) image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    g_cache.insert(key, image);
    return image;
}

QSize CRenderEngine::ImageSize(const QString& name) {
    const QString path = ResolveImagePath(name);
    if (path.endsWith(".svg", Qt::CaseInsensitive)) return QSvgRenderer(path).defaultSize();
    QImageReader reader(path);
    return reader.size();
}

void CRenderEngine::DrawColor(QPainter& painter, const QRect& rc, QRgb argb) {
    if (qAlpha(argb) == 0) return;
    painter.fillRect(rc, QColor::fromRgba(argb));
}

static void DrawPart(QPainter& painter, const QRect& dst, const QImage& img, const QRect& src, bool xtiled,
                     bool ytiled) {
    if (dst.isEmpty() || src.isEmpty()) return;
    if (!xtiled && !ytiled) {
        painter.drawImage(dst, img, src);
        return;
    }
    const int stepX = xtiled ? src.width() : dst.width();
    const int stepY = ytiled ? src.height() : dst.height();
    painter.save();
    painter.setClipRect(dst, Qt::IntersectClip);
    for (int y = dst.top(); y <= dst.bottom(); y += stepY) {
        for (int x = dst.left(); x <= dst.right(); x += stepX) {
            painter.drawImage(QRect(x, y, stepX, stepY), img, src);
        }
    }
    painter.restore();
}

bool CRenderEngine::DrawImageString(QPainter& painter, const QRect& rc, const QString& imageString,
                                    quint32 lightColor, int brightness, bool lightFlag) {
    if (imageString.trimmed().isEmpty()) return false;
    const TImageInfo info = ParseImageString(imageString);
    QRect dest = rc;
    if (!info.dest.isEmpty()) dest = info.dest.translated(rc.topLeft()).intersected(rc);
    QImage img = LoadImage(info.file, info.source.isEmpty() ? dest.size() : QSize());
    if (img.isNull()) return false;
    if (info.hasMask) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        const QImage mask = img.createMaskFromColor(info.mask | 0xFF000000u, Qt::MaskOutColor);
        img.setAlphaChannel(mask.convertToFormat(QImage::Format_Grayscale8));
    }
    if (info.hsl) img = ApplyHsl(img);
    if (lightFlag) {
        // The LED picture keeps its shape (alpha) and takes the key's current colour.
        QImage tinted(img.size(), QImage::Format_ARGB32_Premultiplied);
        tinted.fill(QColor::fromRgb(lightColor & 0xFFFFFF));
        QPainter tp(&tinted);
        tp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tp.drawImage(0, 0, img);
        tp.end();
        img = tinted;
    }
    const QRect src = info.source.isEmpty() ? img.rect() : info.source.intersected(img.rect());
    painter.save();
    double opacity = info.fade / 255.0;
    if (lightFlag) opacity *= qBound(0, brightness, 255) / 255.0;
    painter.setOpacity(painter.opacity() * opacity);
    const QMargins c = info.corner;
    if (c.isNull()) {
        DrawPart(painter, dest, img, src, info.xtiled, info.ytiled);
    } else {
        // Nine-patch: corners stay unscaled, edges stretch in one direction, the middle in both.
        const int sx[4] = {src.left(), src.left() + c.left(), src.right() + 1 - c.right(), src.right() + 1};
        const int sy[4] = {src.top(), src.top() + c.top(), src.bottom() + 1 - c.bottom(), src.bottom() + 1};
        const int dx[4] = {dest.left(), dest.left() + c.left(), dest.right() + 1 - c.right(),
                           dest.right() + 1};
        const int dy[4] = {dest.top(), dest.top() + c.top(), dest.bottom() + 1 - c.bottom(),
                           dest.bottom() + 1};
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (info.hole && row == 1 && col == 1) continue;
                const QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
                const QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
                const bool middle = row == 1 && col == 1;
                DrawPart(painter, d, img, s, middle && info.xtiled, middle && info.ytiled);
            }
        }
    }
    painter.restore();
    return true;
}

void CRenderEngine::SetHsl(int hue, int saturation, int lightness) {
    g_hue = hue;
    g_saturation = saturation;
    g_lightness = lightness;
}

QRgb CRenderEngine::AdjustColor(QRgb argb) {
    if (g_hue == 0 && g_saturation == 100 && g_lightness == 100) return argb;
    QColor c = QColor::fromRgba(argb).toHsl();
    const int h = c.hslHue() < 0 ? 0 : (c.hslHue() + g_hue + 360) % 360;
    const int s = qBound(0, c.hslSaturation() * g_saturation / 100, 255);
    const int l = qBound(0, c.lightness() * g_lightness / 100, 255);
    c.setHsl(h, s, l, c.alpha());
    return c.rgba();
}

QImage CRenderEngine::ApplyHsl(const QImage& image) {
    if (g_hue == 0 && g_saturation == 100 && g_lightness == 100) return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) line[x] = AdjustColor(line[x]);
    }
    return out;
}

void CRenderEngine::ClearCache() {
    g_cache.clear();
}

}  // namespace vx::widgets
