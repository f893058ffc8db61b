#include "actions/ActionColors.h"
#include "actions/FontConvert.h"
#include "media/TTextLayer.h"
#include "media/core/FitRect.h"

#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <ostream>
#include <utility>

// Readable rectangles in failure messages.
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << "x" << r.height() << ")";
}

namespace {

constexpr QRgb kSentinel = 0xFF00FF00; // green: a pixel that nobody painted
constexpr TColor kWhite = RGBToColor(255, 255, 255);
constexpr TColor kFuchsia = RGBToColor(255, 0, 255);

TTextStyle Style(int aBorder, TColor aColor = kWhite, bool aSmooth = false)
{
    TTextStyle s;
    s.Font.Name = QStringLiteral("DejaVu Sans");
    s.Font.Size = 20;
    s.Font.Color = aColor;
    s.BorderWidth = aBorder;
    s.BorderColor = RGBToColor(0, 0, 0);
    s.AntiAliasing = aSmooth;
    return s;
}

TTextLines OneLine(const QString& aText, double aH = 0, double aV = 0, int aAlign = 0)
{
    TTextLines lines;
    lines[0].Text = aText;
    lines[0].Enabled = true;
    lines[0].Stacked = false;
    lines[0].HFactor = aH;
    lines[0].VFactor = aV;
    lines[0].Align = aAlign;
    return lines;
}

// The font RenderTextLayer uses, to predict its metrics.
QFontMetrics Metrics(QSize aPicture, const TTextStyle& aStyle)
{
    QFont font = FontDescToQFont(aStyle.Font);
    font.setPixelSize(TextPixelSize(aPicture, aStyle));
    font.setStyleStrategy(QFont::NoAntialias);
    return QFontMetrics(font);
}

// The bounding box of the pixels that are not fully transparent, inside aArea.
QRect VisibleBox(const QImage& aImage, QRect aArea = {})
{
    if (aArea.isNull())
        aArea = aImage.rect();
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = aArea.y(); y < aArea.y() + aArea.height(); ++y) {
        for (int x = aArea.x(); x < aArea.x() + aArea.width(); ++x) {
            if (qAlpha(aImage.pixel(x, y)) != 0) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
        }
    }
    if (left == INT_MAX)
        return {};
    return QRect(left, top, right - left, bottom - top);
}

// The bounding box of the pixels that differ from aBackground.
QRect InkBox(const QImage& aImage, QRgb aBackground)
{
    QRect box;
    for (int y = 0; y < aImage.height(); ++y)
        for (int x = 0; x < aImage.width(); ++x)
            if ((aImage.pixel(x, y) & 0xFFFFFFu) != (aBackground & 0xFFFFFFu))
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountVisible(const QImage& aImage)
{
    int count = 0;
    for (int y = 0; y < aImage.height(); ++y)
        for (int x = 0; x < aImage.width(); ++x)
            count += qAlpha(aImage.pixel(x, y)) != 0;
    return count;
}

QImage Canvas(QSize aSize)
{
    QImage image(aSize, QImage::Format_RGB32);
    image.fill(kSentinel);
    return image;
}

QImage Halves(QSize aSize, QRgb aFirst, QRgb aSecond, bool aVertical)
{
    QImage frame(aSize, QImage::Format_RGB32);
    for (int y = 0; y < aSize.height(); ++y)
        for (int x = 0; x < aSize.width(); ++x) {
            const bool first = aVertical ? y < aSize.height() / 2 : x < aSize.width() / 2;
            frame.setPixel(x, y, first ? aFirst : aSecond);
        }
    return frame;
}

bool Near(QRgb a, QRgb b, int aTolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= aTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= aTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= aTolerance;
}

// ---- FitRect and Bands ----

TEST(FitRect, FourThreeInAWideHost)
{
    EXPECT_EQ(FitRect(QSize(4, 3), QRect(0, 0, 800, 500), 8, false), QRect(77, 8, 645, 484));
}

TEST(FitRect, NoAspectFillsTheHostLessTheBorder)
{
    EXPECT_EQ(FitRect(QSize(0, 0), QRect(0, 0, 800, 500), 8, false), QRect(8, 8, 784, 484));
    EXPECT_EQ(FitRect(QSize(4, 0), QRect(0, 0, 800, 500), 8, false), QRect(8, 8, 784, 484));
    EXPECT_EQ(FitRect(QSize(-4, 3), QRect(0, 0, 800, 500), 0, false), QRect(0, 0, 800, 500));
}

TEST(FitRect, HostSmallerThanTwiceTheBorderIsEmpty)
{
    const QRect r = FitRect(QSize(4, 3), QRect(0, 0, 10, 30), 8, false);
    EXPECT_TRUE(r.isEmpty());
    EXPECT_EQ(r.width(), 0);
    EXPECT_EQ(r.height(), 0);
    const QRect f = FitRect(QSize(0, 0), QRect(0, 0, 10, 10), 8, false);
    EXPECT_EQ(f.width(), 0);
    EXPECT_EQ(f.height(), 0);
}

TEST(FitRect, RelativeToTheHost)
{
    const QRect host(100, 50, 800, 500);
    EXPECT_EQ(FitRect(QSize(4, 3), host, 8, false), QRect(177, 58, 645, 484));
    EXPECT_EQ(FitRect(QSize(4, 3), host, 8, true), QRect(77, 8, 645, 484));
}

TEST(FitRect, WideAndStandardInAPalPicture)
{
    const QRect pal(0, 0, 720, 576);
    EXPECT_EQ(FitRect(QSize(16, 9), pal, 0, false), QRect(0, 85, 720, 405));
    EXPECT_EQ(FitRect(QSize(4, 3), pal, 0, false), QRect(0, 18, 720, 540));
}

TEST(FitRect, LargeValuesDoNotOverflow)
{
    const QRect r = FitRect(QSize(100000, 1), QRect(0, 0, 100000, 100000), 0, false);
    EXPECT_EQ(r, QRect(0, 49999, 100000, 1));
}

TEST(Bands, AroundAnInnerRectangle)
{
    const auto b = Bands(QRect(0, 0, 100, 50), QRect(10, 5, 80, 40));
    EXPECT_EQ(b[0], QRect(0, 0, 10, 50));
    EXPECT_EQ(b[1], QRect(90, 0, 10, 50));
    EXPECT_EQ(b[2], QRect(10, 0, 80, 5));
    EXPECT_EQ(b[3], QRect(10, 45, 80, 5));
}

TEST(Bands, EqualRectanglesGiveEmptyBands)
{
    for (const QRect& r : Bands(QRect(3, 4, 50, 60), QRect(3, 4, 50, 60)))
        EXPECT_TRUE(r.isEmpty());
}

TEST(Bands, CoverTheOuterRectangleWithTheInnerOne)
{
    const QRect outer(5, 7, 123, 77);
    const QRect inner = FitRect(QSize(16, 9), outer, 3, false);
    long area = long(inner.width()) * inner.height();
    for (const QRect& r : Bands(outer, inner))
        area += long(r.width()) * r.height();
    EXPECT_EQ(area, long(outer.width()) * outer.height());
}

// ---- PaintVideo ----

TEST(PaintVideo, PlacesTheFrameAndItsBorders)
{
    QImage canvas = Canvas(QSize(220, 120));
    const QImage frame = Halves(QSize(40, 30), qRgb(255, 0, 0), qRgb(255, 0, 0), false);
    TVideoPaint v;
    v.Host = QRect(10, 10, 200, 100);
    v.HostColor = QColor(0, 0, 128);
    v.BorderColor = QColor(255, 255, 0);
    v.Border = 8;
    v.Aspect = QSize(4, 3);
    v.Frame = &frame;
    v.Smooth = false;
    // Video: (44, 8) 112x84 from the host's corner; bordered: (36, 0) 128x100.
    EXPECT_EQ(VideoRect(v), QRect(54, 18, 112, 84));
    QPainter p(&canvas);
    PaintVideo(p, v);
    p.end();

    const QRgb host = qRgb(0, 0, 128), border = qRgb(255, 255, 0), red = qRgb(255, 0, 0);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb c = canvas.pixel(x, y);
            QRgb expected;
            if (!v.Host.contains(x, y))
                expected = kSentinel; // nothing outside the host
            else if (x >= 54 && x < 166 && y >= 18 && y < 102)
                expected = red;
            else if (x >= 46 && x < 174)
                expected = border;
            else
                expected = host;
            ASSERT_EQ(c, expected) << "at " << x << ", " << y;
        }
    }
}

TEST(PaintVideo, TinyHostTakesTheBorderColour)
{
    QImage canvas = Canvas(QSize(12, 12));
    const QImage frame = Halves(QSize(4, 4), qRgb(255, 0, 0), qRgb(255, 0, 0), false);
    TVideoPaint v;
    v.Host = QRect(0, 0, 12, 12);
    v.BorderColor = QColor(255, 255, 0);
    v.Aspect = QSize(4, 3);
    v.Frame = &frame;
    QPainter p(&canvas);
    PaintVideo(p, v);
    p.end();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(canvas.pixel(x, y), qRgb(255, 255, 0)) << x << ", " << y;
}

TEST(PaintVideo, WithoutAFrameTheVideoTakesTheHostColour)
{
    QImage canvas = Canvas(QSize(100, 80));
    TVideoPaint v;
    v.Host = canvas.rect();
    v.HostColor = QColor(0, 0, 128);
    v.BorderColor = QColor(255, 255, 0);
    v.Border = 4;
    QPainter p(&canvas);
    PaintVideo(p, v);
    p.end();
    EXPECT_EQ(canvas.pixel(50, 40), qRgb(0, 0, 128));
    EXPECT_EQ(canvas.pixel(1, 40), qRgb(255, 255, 0));
}

TEST(PaintVideo, GivesThePainterBackAsItCame)
{
    QImage canvas = Canvas(QSize(80, 60));
    const QImage frame = Halves(QSize(40, 30), qRgb(255, 0, 0), qRgb(0, 0, 255), false);
    const QImage layer = Halves(QSize(40, 30), qRgb(255, 255, 255), qRgb(0, 0, 0), false);
    TVideoPaint v;
    v.Host = canvas.rect();
    v.Frame = &frame;
    v.TextLayer = &layer;
    v.FlipH = v.FlipV = true;
    v.Opacity = 0.3;
    v.Smooth = true;
    QPainter p(&canvas);
    p.setOpacity(0.9);
    p.translate(1, 2);
    const QTransform before = p.worldTransform();
    const auto hints = p.renderHints();
    PaintVideo(p, v);
    EXPECT_DOUBLE_EQ(p.opacity(), 0.9);
    EXPECT_EQ(p.worldTransform(), before);
    EXPECT_EQ(p.renderHints(), hints);
}

TEST(PaintVideo, HorizontalFlipMirrorsThePictureNotTheText)
{
    const QImage frame = Halves(QSize(40, 30), qRgb(255, 0, 0), qRgb(0, 0, 255), false);
    // The text layer: white on its left quarter, transparent elsewhere.
    QImage layer(QSize(40, 30), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter(&layer).fillRect(QRect(0, 0, 10, 30), Qt::white);

    for (const bool flip : {false, true}) {
        QImage canvas = Canvas(QSize(80, 60));
        TVideoPaint v;
        v.Host = canvas.rect();
        v.Border = 0;
        v.Frame = &frame;
        v.TextLayer = &layer;
        v.FlipH = flip;
        v.Smooth = false;
        QPainter p(&canvas);
        PaintVideo(p, v);
        p.end();
        EXPECT_EQ(canvas.pixel(5, 30), qRgb(255, 255, 255)) << flip;
        EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 255, 255)) << flip;
        EXPECT_EQ(canvas.pixel(30, 30), flip ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
        EXPECT_EQ(canvas.pixel(79, 59), flip ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        EXPECT_EQ(canvas.pixel(39, 10), flip ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
        EXPECT_EQ(canvas.pixel(40, 10), flip ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    }
}

TEST(PaintVideo, VerticalFlipInsideABorderedRectangle)
{
    const QImage frame = Halves(QSize(40, 30), qRgb(255, 0, 0), qRgb(0, 0, 255), true);
    QImage canvas = Canvas(QSize(100, 80));
    TVideoPaint v;
    v.Host = canvas.rect();
    v.Border = 10;
    v.BorderColor = QColor(255, 255, 0);
    v.Frame = &frame;
    v.FlipV = true;
    v.Smooth = false;
    QPainter p(&canvas);
    PaintVideo(p, v);
    p.end();
    // Video rectangle: (10, 10) 80x60.
    EXPECT_EQ(canvas.pixel(50, 10), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(50, 39), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(50, 40), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(50, 69), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(50, 9), qRgb(255, 255, 0));
    EXPECT_EQ(canvas.pixel(50, 70), qRgb(255, 255, 0));
}

TEST(PaintVideo, TextLayerBlendsAtItsOpacity)
{
    QImage frame(QSize(20, 20), QImage::Format_RGB32);
    frame.fill(qRgb(0, 0, 0));
    QImage layer(QSize(20, 20), QImage::Format_ARGB32_Premultiplied);
    layer.fill(qRgb(255, 255, 255));
    for (const auto& [opacity, grey] : {std::pair{0.5, 128}, {0.0, 0}, {1.0, 255}, {7.0, 255}}) {
        QImage canvas = Canvas(QSize(20, 20));
        TVideoPaint v;
        v.Host = canvas.rect();
        v.Border = 0;
        v.Frame = &frame;
        v.TextLayer = &layer;
        v.Opacity = opacity;
        QPainter p(&canvas);
        PaintVideo(p, v);
        p.end();
        EXPECT_TRUE(Near(canvas.pixel(10, 10), qRgb(grey, grey, grey)))
            << opacity << ": " << std::hex << canvas.pixel(10, 10);
    }
}

TEST(TextOpacity, StoredValueIsAClampedOpacity)
{
    EXPECT_EQ(TextOpacity(100.0), 1.0);
    EXPECT_EQ(TextOpacity(1.0), 1.0);
    EXPECT_EQ(TextOpacity(0.25), 0.25);
    EXPECT_EQ(TextOpacity(0.0), 0.0);
    EXPECT_EQ(TextOpacity(-3.0), 0.0);
    EXPECT_EQ(TextOpacity(std::nan("")), 1.0);
    EXPECT_EQ(TTextStyle().Transparency, 1.0);
}

// ---- RenderTextLayer ----

TEST(TextLayer, DefaultLines)
{
    const TTextLines lines = DefaultTextLines();
    EXPECT_EQ(lines[0].Text, QStringLiteral("Ecrivez une incrustation"));
    EXPECT_TRUE(lines[0].Enabled);
    EXPECT_FALSE(lines[0].Stacked);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_FALSE(lines[i].Enabled) << i;
        EXPECT_TRUE(lines[i].Stacked) << i;
    }
}

TEST(TextLayer, SizeFormatAndTransparency)
{
    EXPECT_TRUE(RenderTextLayer(QSize(0, 10), DefaultTextLines(), Style(2)).isNull());
    const QImage image = RenderTextLayer(QSize(320, 240), DefaultTextLines(), Style(2));
    EXPECT_EQ(image.size(), QSize(320, 240));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_GT(CountVisible(image), 100);
    EXPECT_EQ(qAlpha(image.pixel(319, 239)), 0);

    TTextLines none = DefaultTextLines();
    none[0].Enabled = false;
    none[3].Text = QStringLiteral("x"); // disabled
    EXPECT_EQ(CountVisible(RenderTextLayer(QSize(320, 240), none, Style(2))), 0);
}

TEST(TextLayer, OutlineOffsets)
{
    const std::vector<QPoint> one = OutlineOffsets(1);
    EXPECT_EQ(one, (std::vector<QPoint>{{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}));
    EXPECT_TRUE(OutlineOffsets(0).empty());
    EXPECT_TRUE(OutlineOffsets(-2).empty());
    const std::vector<QPoint> two = OutlineOffsets(2);
    EXPECT_EQ(two.size(), 12u);
    for (const QPoint& d : two) {
        EXPECT_LE(std::abs(d.x()), 2);
        EXPECT_LE(std::abs(d.y()), 2);
        EXPECT_GT(std::abs(d.x()) + std::abs(d.y()), 2);
    }
}

// With an outline of 1 the picture is the text at (1, 1) over black copies of it at the four
// diagonals, pixel for pixel.
TEST(TextLayer, OutlineOfOneIsTheFourDiagonals)
{
    const QSize size(160, 60);
    const TTextLines lines = OneLine(QStringLiteral("Hag.W"));
    const QImage plain = RenderTextLayer(size, lines, Style(0));
    const QImage outlined = RenderTextLayer(size, lines, Style(1));
    auto text = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < size.width() && y < size.height() &&
               qAlpha(plain.pixel(x, y)) != 0;
    };
    int black = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb c = outlined.pixel(x, y);
            if (text(x - 1, y - 1)) {
                ASSERT_EQ(c, plain.pixel(x - 1, y - 1)) << x << ", " << y;
                continue;
            }
            bool under = false;
            for (const QPoint& d : OutlineOffsets(1))
                under = under || text(x - 1 - d.x(), y - 1 - d.y());
            ASSERT_EQ(c, under ? qRgba(0, 0, 0, 255) : qRgba(0, 0, 0, 0)) << x << ", " << y;
            black += under;
        }
    }
    EXPECT_GT(black, 50);
}

TEST(TextLayer, WithoutOutlineTheTextIsNeverSmoothed)
{
    const QSize size(200, 60);
    const QImage image = RenderTextLayer(size, OneLine(QStringLiteral("Smooth?")),
                                         Style(0, kWhite, /*aSmooth=*/true));
    int partial = 0, full = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            partial += a != 0 && a != 255;
            full += a == 255;
        }
    EXPECT_EQ(partial, 0);
    EXPECT_GT(full, 50);

    // With an outline the smoothing setting is honoured: some edge pixels are mixed.
    const QImage smooth = RenderTextLayer(size, OneLine(QStringLiteral("Smooth?")),
                                          Style(2, kWhite, /*aSmooth=*/true));
    int mixed = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const QRgb c = smooth.pixel(x, y);
            mixed += qAlpha(c) == 255 && qRed(c) > 0 && qRed(c) < 255;
        }
    EXPECT_GT(mixed, 0);
}

TEST(TextLayer, KeyColouredFontDrawsNothing)
{
    const TTextLines lines = OneLine(QStringLiteral("Invisible"));
    EXPECT_EQ(CountVisible(RenderTextLayer(QSize(200, 60), lines, Style(0, kFuchsia))), 0);
    EXPECT_EQ(CountVisible(RenderTextLayer(QSize(200, 60), lines, Style(0, kFuchsia, true))), 0);
    // Another key: the white text vanishes.
    TTextStyle white = Style(0);
    white.TransparentColor = kWhite;
    EXPECT_EQ(CountVisible(RenderTextLayer(QSize(200, 60), lines, white)), 0);
    // No key at all: the fuchsia text shows.
    TTextStyle none = Style(0, kFuchsia);
    none.TransparentColor = clNone;
    EXPECT_GT(CountVisible(RenderTextLayer(QSize(200, 60), lines, none)), 50);
}

TEST(TextLayer, KeyColouredFontLeavesOnlyTheOutline)
{
    const QSize size(200, 60);
    const TTextLines lines = OneLine(QStringLiteral("Outline"));
    const QImage white = RenderTextLayer(size, lines, Style(2, kWhite));
    const QImage fuchsia = RenderTextLayer(size, lines, Style(2, kFuchsia));
    int outline = 0, holes = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb w = white.pixel(x, y);
            const QRgb f = fuchsia.pixel(x, y);
            if (w == qRgba(255, 255, 255, 255)) {
                ASSERT_EQ(f, 0u) << x << ", " << y;
                ++holes;
            } else {
                ASSERT_EQ(f, w) << x << ", " << y;
                outline += w == qRgba(0, 0, 0, 255);
            }
        }
    }
    EXPECT_GT(outline, 50);
    EXPECT_GT(holes, 50);

    // Smoothed: the text's edges over the outline mix fuchsia and black; nothing is left
    // half transparent or pure fuchsia.
    const QImage smooth = RenderTextLayer(size, lines, Style(2, kFuchsia, true));
    int mixed = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb c = smooth.pixel(x, y);
            if (qAlpha(c) == 0)
                continue;
            ASSERT_EQ(qAlpha(c), 255) << x << ", " << y;
            ASSERT_EQ(qGreen(c), 0);
            ASSERT_NE(c, qRgb(255, 0, 255));
            mixed += qRed(c) > 0;
        }
    }
    EXPECT_GT(mixed, 0);
}

TEST(TextLayer, AutoSizeFollowsThePicture)
{
    TTextStyle s = Style(0);
    EXPECT_EQ(TextPixelSize(QSize(720, 576), s), 27); // 20 points
    s.Font.Size = 12;
    EXPECT_EQ(TextPixelSize(QSize(720, 576), s), 16);
    s.AutoSize = true;
    EXPECT_EQ(TextPixelSize(QSize(720, 576), s), 27);   // max(20, 20) points
    EXPECT_EQ(TextPixelSize(QSize(1920, 1080), s), 71); // 53 points
    EXPECT_EQ(TextPixelSize(QSize(10, 10), s), 1);      // never below one pixel

    const TTextLines lines = OneLine(QStringLiteral("H"));
    const QRect small = VisibleBox(RenderTextLayer(QSize(360, 288), lines, s));
    const QRect large = VisibleBox(RenderTextLayer(QSize(1440, 1152), lines, s));
    ASSERT_FALSE(small.isEmpty());
    EXPECT_NEAR(double(large.height()) / small.height(), 4.0, 0.5);
    s.AutoSize = false;
    EXPECT_EQ(VisibleBox(RenderTextLayer(QSize(1440, 1152), lines, s)).height(),
              VisibleBox(RenderTextLayer(QSize(360, 288), lines, s)).height());
}

TEST(TextLayer, AlignmentMovesByTheTextWidth)
{
    const QSize size(400, 80);
    const TTextStyle s = Style(2);
    const QString text = QStringLiteral("Milieu");
    const int advance = Metrics(size, s).horizontalAdvance(text);
    const QRect left = VisibleBox(RenderTextLayer(size, OneLine(text, 0.5, 0.1, 0), s));
    const QRect right = VisibleBox(RenderTextLayer(size, OneLine(text, 0.5, 0.1, 1), s));
    const QRect centre = VisibleBox(RenderTextLayer(size, OneLine(text, 0.5, 0.1, 2), s));
    ASSERT_FALSE(left.isEmpty());
    EXPECT_EQ(right, left.translated(-advance, 0));
    EXPECT_EQ(centre, left.translated(-(advance / 2), 0));
    // The left edge is at round(w * HFactor) plus the outline width, less the outline.
    const QRect origin = VisibleBox(RenderTextLayer(size, OneLine(text, 0.0, 0.1, 0), s));
    EXPECT_EQ(left, origin.translated(200, 0));
}

TEST(TextLayer, PlacementAndAnchor)
{
    const QSize size(400, 200);
    TTextStyle s = Style(0);
    const QString text = QStringLiteral("T");
    const QFontMetrics fm = Metrics(size, s);
    const QRect at = VisibleBox(RenderTextLayer(size, OneLine(text), s));
    // The text box's top-left is at the origin: the glyph lies within its box.
    EXPECT_GE(at.top(), 0);
    EXPECT_LE(at.y() + at.height(), fm.height());
    const QRect moved = VisibleBox(RenderTextLayer(size, OneLine(text, 0.25, 0.1), s));
    EXPECT_EQ(moved, at.translated(100, 20));
    s.AnchorX = 5000;
    s.AnchorY = 2500;
    const QRect anchored = VisibleBox(RenderTextLayer(size, OneLine(text, 0.25, 0.1), s));
    EXPECT_EQ(anchored, at.translated(300, 70));
    s.AnchorX = s.AnchorY = 0;
    s.BorderWidth = 3;
    const QRect bordered = VisibleBox(RenderTextLayer(size, OneLine(text), s));
    // Shifted by the outline width, then grown by the outline's reach around the glyph.
    EXPECT_EQ(bordered.center(), at.translated(3, 3).center());
}

TEST(TextLayer, StackedLinesFollowThePreviousOne)
{
    const QSize size(400, 300);
    const TTextStyle s = Style(0);
    const int height = Metrics(size, s).height();
    // The reference: line 1's text alone, at the top.
    TTextLines alone;
    alone[1].Text = QStringLiteral("B");
    alone[1].Enabled = true;
    alone[1].HFactor = 0.5;
    const int top = VisibleBox(RenderTextLayer(size, alone, s)).top();

    TTextLines lines = alone;
    lines[0].Text = QStringLiteral("A");
    lines[0].Enabled = true;
    lines[0].Stacked = false;
    lines[0].VFactor = 0.1;  // y = 30
    lines[1].VFactor = 0.05; // 15 below the end of line 0
    lines[2].Text = QStringLiteral("disabled lines take no room");
    const QRect rightHalf(200, 0, 200, 300);
    EXPECT_EQ(VisibleBox(RenderTextLayer(size, lines, s), rightHalf).top(), top + 30 + height + 15);

    // A line that is not stacked starts again from its own factor.
    lines[1].Stacked = false;
    EXPECT_EQ(VisibleBox(RenderTextLayer(size, lines, s), rightHalf).top(), top + 15);

    // Two stacked lines under an unstacked one.
    lines[1].Stacked = true;
    lines[1].VFactor = 0;
    lines[2].Text = QStringLiteral("C");
    lines[2].Enabled = true;
    lines[2].HFactor = 0.5;
    lines[2].VFactor = 0;
    lines[1].HFactor = 0;
    const int topC = VisibleBox(RenderTextLayer(size, lines, s), rightHalf).top();
    TTextLines aloneC;
    aloneC[0] = lines[2];
    EXPECT_EQ(topC, VisibleBox(RenderTextLayer(size, aloneC, s)).top() + 30 + 2 * height);
}

// ---- ComposeCurrentImage ----

TEST(ComposeCurrentImage, TextOnTheFrameAtItsSize)
{
    QImage frame(QSize(320, 240), QImage::Format_RGB32);
    frame.fill(qRgb(0, 0, 64));
    const QImage layer =
        RenderTextLayer(frame.size(), OneLine(QStringLiteral("Grab"), 0.1, 0.1), Style(2));
    const QImage grab = ComposeCurrentImage(frame, layer, 1.0);
    EXPECT_EQ(grab.size(), frame.size());
    EXPECT_EQ(grab.format(), QImage::Format_RGB32);
    int white = 0, black = 0;
    for (int y = 0; y < grab.height(); ++y)
        for (int x = 0; x < grab.width(); ++x) {
            white += grab.pixel(x, y) == qRgb(255, 255, 255);
            black += grab.pixel(x, y) == qRgb(0, 0, 0);
        }
    EXPECT_GT(white, 50);
    EXPECT_GT(black, 50);
    EXPECT_EQ(grab.pixel(319, 239), qRgb(0, 0, 64));
    EXPECT_EQ(frame.pixel(40, 40), qRgb(0, 0, 64)); // the frame itself untouched

    // Half opacity: white text comes out grey.
    const QImage half = ComposeCurrentImage(frame, layer, 0.5);
    bool grey = false;
    for (int y = 0; y < half.height() && !grey; ++y)
        for (int x = 0; x < half.width() && !grey; ++x)
            grey = Near(half.pixel(x, y), qRgb(128, 128, 160));
    EXPECT_TRUE(grey);
}

TEST(ComposeCurrentImage, WithoutALayerACopyOfTheFrame)
{
    QImage frame(QSize(64, 48), QImage::Format_RGB32);
    frame.fill(qRgb(10, 20, 30));
    const QImage copy = ComposeCurrentImage(frame, QImage(), 1.0);
    EXPECT_EQ(copy, frame);
    EXPECT_NE(copy.constBits(), frame.constBits()); // a deep copy: the frame may go away

    QImage argb(QSize(8, 6), QImage::Format_ARGB32);
    argb.fill(qRgb(1, 2, 3));
    const QImage converted = ComposeCurrentImage(argb, QImage(), 1.0);
    EXPECT_EQ(converted.format(), QImage::Format_RGB32);
    EXPECT_EQ(converted.pixel(3, 3), qRgb(1, 2, 3));

    EXPECT_TRUE(ComposeCurrentImage(QImage(), QImage(), 1.0).isNull());
}

TEST(ComposeCurrentImage, APartOfTheLayerGoesWhereItLies)
{
    QImage frame(QSize(100, 80), QImage::Format_RGB32);
    frame.fill(qRgb(0, 0, 0));
    QImage layer(QSize(10, 20), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::white);
    const QImage grab = ComposeCurrentImage(frame, layer, 1.0, QPoint(60, 30));
    EXPECT_EQ(grab.size(), QSize(100, 80));
    EXPECT_EQ(InkBox(grab, qRgb(0, 0, 0)), QRect(60, 30, 10, 20));
}

// The layer is drawn only where the text is; placed in a whole picture it is the whole layer,
// and painted scaled it lands where the whole layer would.
TEST(TextPart, HoldsOnlyTheTextAtItsPlace)
{
    TTextLines lines = OneLine(QStringLiteral("Partie"), 0.4, 0.6);
    lines[1].Text = QStringLiteral("seconde ligne");
    lines[1].Enabled = true;
    const QSize size(640, 360);
    const TTextStyle s = Style(2, 0x0000FF, true);
    const TTextPart part = RenderTextPart(size, lines, s);
    ASSERT_FALSE(part.IsNull());
    EXPECT_LT(part.Image.width() * part.Image.height(), size.width() * size.height() / 4);
    const QImage whole = RenderTextLayer(size, lines, s);
    QImage placed(size, QImage::Format_ARGB32_Premultiplied);
    placed.fill(Qt::transparent);
    QPainter(&placed).drawImage(part.At, part.Image);
    EXPECT_EQ(placed, whole);
    EXPECT_TRUE(QRect(part.At, part.Image.size()).contains(VisibleBox(whole)));

    // Text running off the picture is cut at its edge.
    TTextLines off = OneLine(QStringLiteral("tout au bord à droite"), 0.9, 0.95);
    const TTextPart cut = RenderTextPart(size, off, s);
    ASSERT_FALSE(cut.IsNull());
    EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(QRect(cut.At, cut.Image.size())));
    EXPECT_TRUE(RenderTextPart(size, OneLine(QString()), s).IsNull());

    QImage frame(size, QImage::Format_RGB32);
    frame.fill(qRgb(0, 0, 0));
    auto paint = [&](const QImage& aLayer, QPoint aAt) {
        QImage canvas = Canvas(QSize(320, 180));
        TVideoPaint v;
        v.Host = canvas.rect();
        v.Border = 0;
        v.Frame = &frame;
        v.TextLayer = &aLayer;
        v.TextAt = aAt;
        QPainter p(&canvas);
        PaintVideo(p, v);
        return canvas;
    };
    const QRect a = InkBox(paint(whole, {}), qRgb(0, 0, 0));
    const QRect b = InkBox(paint(part.Image, part.At), qRgb(0, 0, 0));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_LE(std::abs(a.left() - b.left()) + std::abs(a.top() - b.top()), 2);
    EXPECT_LE(std::abs(a.width() - b.width()) + std::abs(a.height() - b.height()), 2);
}

} // namespace
