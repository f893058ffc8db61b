#include "media/TTextLayer.h"

#include "actions/ActionColors.h"
#include "actions/FontConvert.h"
#include "media/core/FitRect.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// round(aSize * aFactor), kept far from int's limits whatever the stored factor is.
int Scaled(int aSize, double aFactor)
{
    const double v = double(aSize) * aFactor;
    if (!std::isfinite(v))
        return 0;
    return int(std::lround(std::clamp(v, -1e7, 1e7)));
}

// True for a pixel (premultiplied) that is the key colour at any coverage: the partly covered
// edge of key-coloured text is key colour too, give or take the blend's rounding.
bool IsKey(QRgb aPixel, QRgb aKey)
{
    const int a = qAlpha(aPixel);
    if (a == 0)
        return false;
    if (a == 255)
        return (aPixel & 0xFFFFFFu) == (aKey & 0xFFFFFFu);
    const QRgb expected = qPremultiply(qRgba(qRed(aKey), qGreen(aKey), qBlue(aKey), a));
    return std::abs(qRed(aPixel) - qRed(expected)) <= 1 &&
           std::abs(qGreen(aPixel) - qGreen(expected)) <= 1 &&
           std::abs(qBlue(aPixel) - qBlue(expected)) <= 1;
}

// The Windows program drew onto a bitmap filled with the key colour and keyed that colour out,
// so text or outline of the key colour vanished with the background; this clears them likewise.
void ClearKey(QImage& aImage, QRgb aKey)
{
    for (int y = 0; y < aImage.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(aImage.scanLine(y));
        for (int x = 0; x < aImage.width(); ++x) {
            if (IsKey(line[x], aKey))
                line[x] = 0;
        }
    }
}

} // namespace

TTextLines DefaultTextLines()
{
    TTextLines lines;
    lines[0].Text = QStringLiteral("Ecrivez une incrustation");
    lines[0].Enabled = true;
    lines[0].Stacked = false;
    return lines;
}

std::vector<QPoint> OutlineOffsets(int aWidth)
{
    std::vector<QPoint> offsets;
    for (int dy = -aWidth; dy <= aWidth; ++dy) {
        for (int dx = -aWidth; dx <= aWidth; ++dx) {
            if (std::abs(dx) + std::abs(dy) > aWidth)
                offsets.emplace_back(dx, dy);
        }
    }
    return offsets;
}

int TextPixelSize(QSize aPicture, const TTextStyle& aStyle)
{
    // FontDescToQFont's own fallback for a size that is not positive.
    qint64 points = aStyle.Font.Size > 0 ? aStyle.Font.Size : 8;
    if (aStyle.AutoSize)
        points = std::max(aPicture.width() / 36, aPicture.height() / 28);
    // Points to pixels at 96 dots per inch, rounded to nearest as Windows' MulDiv does; a pixel
    // size keeps the result the same on every screen and image resolution.
    const qint64 pixels = (points * 96 + 36) / 72;
    return int(std::clamp<qint64>(pixels, 1, 100000));
}

TTextPart RenderTextPart(QSize aPicture, const TTextLines& aLines, const TTextStyle& aStyle)
{
    if (aPicture.isEmpty())
        return {};
    const int w = aPicture.width();
    const int h = aPicture.height();
    const int n = std::max(0, aStyle.BorderWidth);
    // Windows smoothing showed only with an outline: without one the text is always aliased.
    const bool smooth = aStyle.AntiAliasing && n > 0;
    QFont font = FontDescToQFont(aStyle.Font);
    font.setPixelSize(TextPixelSize(aPicture, aStyle));
    QFont aliased = font;
    aliased.setStyleStrategy(QFont::NoAntialias);
    const int ax = int(qint64(aStyle.AnchorX) * w / 10000);
    const int ay = int(qint64(aStyle.AnchorY) * h / 10000);

    // First where each line goes and the box they cover together.
    struct TPlaced {
        const QString* text;
        QPoint origin;
    };
    std::vector<TPlaced> placed;
    QRect box;
    const QFontMetrics metrics(font);
    int y = 0;
    for (const TTextLine& line : aLines) {
        if (!line.Enabled)
            continue;
        const int dy = Scaled(h, line.VFactor);
        y = line.Stacked ? y + dy : dy;
        const int textWidth = metrics.horizontalAdvance(line.Text);
        int x = Scaled(w, line.HFactor);
        if (line.Align == 1)
            x -= textWidth;
        else if (line.Align == 2)
            x -= textWidth / 2;
        // The position is the top-left of the text box; drawText wants the baseline.
        const QPoint origin(ax + x + n, ay + y + n + metrics.ascent());
        if (!line.Text.isEmpty()) {
            placed.push_back({&line.Text, origin});
            // The ink may reach past the advance (italics, overhangs): a margin of a few pixels.
            const int slack = 2 + metrics.height() / 4;
            box |= metrics.boundingRect(line.Text).translated(origin).adjusted(
                -n - slack, -n - slack, n + slack, n + slack);
        }
        y += metrics.height();
    }
    box &= QRect(QPoint(0, 0), aPicture);
    if (placed.empty() || box.isEmpty())
        return {};

    TTextPart part;
    part.At = box.topLeft();
    part.Image = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (part.Image.isNull())
        return {};
    part.Image.fill(Qt::transparent);
    const QColor textColor = ColorToQColor(aStyle.Font.Color);
    const QColor outlineColor = ColorToQColor(aStyle.BorderColor);
    const std::vector<QPoint> offsets = OutlineOffsets(n);
    QPainter painter(&part.Image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-box.x(), -box.y());
    for (const TPlaced& line : placed) {
        if (!offsets.empty()) {
            painter.setFont(aliased);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setPen(outlineColor);
            for (const QPoint& offset : offsets)
                painter.drawText(line.origin + offset, *line.text);
        }
        painter.setFont(smooth ? font : aliased);
        painter.setRenderHint(QPainter::TextAntialiasing, smooth);
        painter.setPen(textColor);
        painter.drawText(line.origin, *line.text);
    }
    painter.end();

    const QColor key = ColorToQColor(aStyle.TransparentColor);
    if (key.alpha() != 0) // clNone keys nothing out
        ClearKey(part.Image, key.rgb());
    return part;
}

QImage RenderTextLayer(QSize aPicture, const TTextLines& aLines, const TTextStyle& aStyle)
{
    if (aPicture.isEmpty())
        return {};
    QImage image(aPicture, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    const TTextPart part = RenderTextPart(aPicture, aLines, aStyle);
    if (!part.IsNull()) {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(part.At, part.Image);
    }
    return image;
}

double TextOpacity(double aTransparency)
{
    if (std::isnan(aTransparency))
        return 1.0;
    return std::clamp(aTransparency, 0.0, 1.0);
}

QRect VideoRect(const TVideoPaint& aPaint)
{
    return FitRect(aPaint.Aspect, aPaint.Host, std::max(0, aPaint.Border), false);
}

void PaintVideo(QPainter& aPainter, const TVideoPaint& aPaint)
{
    const QRect& host = aPaint.Host;
    const int border = std::max(0, aPaint.Border);
    const QRect video = VideoRect(aPaint);
    const QRect framed(video.x() - border, video.y() - border, video.width() + 2 * border,
                       video.height() + 2 * border);
    // Bands are clipped to the host: with a host smaller than twice the border the bordered
    // rectangle reaches past it.
    for (const QRect& band : Bands(host, framed)) {
        const QRect r = band.intersected(host);
        if (!r.isEmpty())
            aPainter.fillRect(r, aPaint.HostColor);
    }
    for (const QRect& band : Bands(framed, video)) {
        const QRect r = band.intersected(host);
        if (!r.isEmpty())
            aPainter.fillRect(r, aPaint.BorderColor);
    }
    if (video.isEmpty())
        return;

    // The painter's hints, transform and opacity are put back by hand: save()/restore() would
    // allocate a state on every frame.
    const bool wasSmooth = aPainter.testRenderHint(QPainter::SmoothPixmapTransform);
    aPainter.setRenderHint(QPainter::SmoothPixmapTransform, aPaint.Smooth);
    const QRectF target(video);
    if (aPaint.Frame && !aPaint.Frame->isNull()) {
        const QRectF source(aPaint.Frame->rect());
        if (aPaint.FlipH || aPaint.FlipV) {
            // A mirror about the video rectangle's middle: x -> 2 * left + width - x.
            const QTransform old = aPainter.worldTransform();
            const QTransform flip(aPaint.FlipH ? -1 : 1, 0, 0, aPaint.FlipV ? -1 : 1,
                                  aPaint.FlipH ? 2.0 * video.x() + video.width() : 0,
                                  aPaint.FlipV ? 2.0 * video.y() + video.height() : 0);
            aPainter.setWorldTransform(flip, true);
            aPainter.drawImage(target, *aPaint.Frame, source);
            aPainter.setWorldTransform(old);
        } else {
            aPainter.drawImage(target, *aPaint.Frame, source);
        }
    } else {
        aPainter.fillRect(video, aPaint.HostColor);
    }

    const double opacity = TextOpacity(aPaint.Opacity);
    if (aPaint.TextLayer && !aPaint.TextLayer->isNull() && opacity > 0) {
        const double oldOpacity = aPainter.opacity();
        aPainter.setOpacity(opacity);
        // The layer is in the frame's pixels: scaled as the frame is, at its place in it.
        const QSizeF frame = aPaint.Frame && !aPaint.Frame->isNull()
                                 ? QSizeF(aPaint.Frame->size())
                                 : QSizeF(aPaint.TextLayer->size());
        const double sx = target.width() / frame.width();
        const double sy = target.height() / frame.height();
        const QRectF at(target.x() + aPaint.TextAt.x() * sx, target.y() + aPaint.TextAt.y() * sy,
                        aPaint.TextLayer->width() * sx, aPaint.TextLayer->height() * sy);
        aPainter.drawImage(at, *aPaint.TextLayer, QRectF(aPaint.TextLayer->rect()));
        aPainter.setOpacity(oldOpacity);
    }
    aPainter.setRenderHint(QPainter::SmoothPixmapTransform, wasSmooth);
}

QImage ComposeCurrentImage(const QImage& aFrame, const QImage& aTextLayer, double aOpacity,
                           QPoint aAt)
{
    if (aFrame.isNull())
        return {};
    // A deep copy even when the format already fits: the frame may wrap a buffer that is given
    // back to the pipeline once the grab returns.
    QImage out = aFrame.format() == QImage::Format_RGB32
                     ? aFrame.copy()
                     : aFrame.convertToFormat(QImage::Format_RGB32);
    const double opacity = TextOpacity(aOpacity);
    if (aTextLayer.isNull() || opacity <= 0 || out.isNull())
        return out;
    QPainter painter(&out);
    painter.setOpacity(opacity);
    painter.drawImage(aAt, aTextLayer);
    painter.end();
    return out;
}
