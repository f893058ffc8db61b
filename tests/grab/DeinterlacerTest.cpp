#include "grab/TDeinterlacer.h"

#include <gtest/gtest.h>

namespace {

QImage Filled(int aWidth, int aHeight, QRgb aColour, QImage::Format aFormat = QImage::Format_RGB32)
{
    QImage image(aWidth, aHeight, aFormat);
    image.fill(aColour);
    return image;
}

// Odd rows of columns [aFirst, aFirst + aCount) in aColour.
void PaintComb(QImage& aImage, int aFirst, int aCount, QRgb aColour)
{
    for (int y = 1; y < aImage.height(); y += 2)
        for (int x = aFirst; x < aFirst + aCount; ++x)
            aImage.setPixel(x, y, aColour);
}

bool SamePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.format() == b.format() && a == b;
}

} // namespace

TEST(Deinterlacer, OtherFormatsComeOutAsAPlainCopy)
{
    TDeinterlacer filter;
    for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGBX8888,
                                  QImage::Format_Grayscale8, QImage::Format_RGB16}) {
        QImage source = Filled(8, 6, qRgb(0, 0, 0)).convertToFormat(format);
        PaintComb(source, 2, 4, qRgb(255, 255, 255));
        QImage dest;
        filter.Deinterlace(source, dest);
        EXPECT_TRUE(SamePixels(dest, source)) << format;
    }
    QImage dest(3, 3, QImage::Format_RGB32);
    filter.Deinterlace(QImage(), dest);
    EXPECT_TRUE(dest.isNull());
}

TEST(Deinterlacer, AStillPictureComesOutUnchanged)
{
    // Odd rows halfway between their neighbours: a smooth gradient, no comb.
    QImage source(16, 9, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgb(y * 20, 255 - y * 25, x * 10 + y * 3));
    TDeinterlacer filter;
    QImage dest;
    filter.Deinterlace(source, dest);
    EXPECT_TRUE(SamePixels(dest, source));
}

TEST(Deinterlacer, OnlyCombsTwoPixelsWideOrMoreAreInterpolated)
{
    TDeinterlacer filter;
    for (int width : {1, 2, 3}) {
        QImage source = Filled(10, 5, qRgb(200, 100, 40));
        PaintComb(source, 4, width, qRgb(0, 0, 0));
        QImage dest;
        filter.Deinterlace(source, dest);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool combed = width > 1 && (y == 1 || y == 3) && x >= 4 && x < 4 + width;
                EXPECT_EQ(dest.pixel(x, y), combed ? qRgb(200, 100, 40) : source.pixel(x, y))
                    << "width " << width << " at " << x << "," << y;
            }
    }
    // A comb at the row's edges: the neighbour outside the row does not count.
    QImage edge = Filled(2, 3, qRgb(255, 255, 255));
    edge.setPixel(0, 1, qRgb(0, 0, 0));
    QImage dest;
    filter.Deinterlace(edge, dest);
    EXPECT_TRUE(SamePixels(dest, edge));
    edge.setPixel(1, 1, qRgb(0, 0, 0));
    filter.Deinterlace(edge, dest);
    EXPECT_EQ(dest.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(dest.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(Deinterlacer, EachChannelWeighsAsTheEyeSeesIt)
{
    // Weights 3, 6 and 1 against a threshold of 2000: the smallest difference on both sides
    // that makes a comb is 26 in red, 19 in green, 45 in blue.
    struct TCase {
        QRgb centre;
        bool comb;
    };
    const TCase cases[] = {
        {qRgb(100 - 25, 100, 100), false}, {qRgb(100 - 26, 100, 100), true},
        {qRgb(100, 100 - 18, 100), false}, {qRgb(100, 100 - 19, 100), true},
        {qRgb(100, 100, 100 - 44), false}, {qRgb(100, 100, 100 - 45), true},
        {qRgb(100 + 26, 100, 100), true},
    };
    TDeinterlacer filter;
    for (const TCase& c : cases) {
        QImage source = Filled(4, 3, qRgb(100, 100, 100));
        PaintComb(source, 0, 4, c.centre);
        QImage dest;
        filter.Deinterlace(source, dest);
        EXPECT_EQ(dest.pixel(1, 1), c.comb ? qRgb(100, 100, 100) : c.centre)
            << std::hex << c.centre;
    }
    // Exactly the threshold is not a comb.
    QImage edge(4, 3, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x) {
        edge.setPixel(x, 0, qRgb(100, 100, 140));
        edge.setPixel(x, 1, qRgb(100, 100, 100));
        edge.setPixel(x, 2, qRgb(100, 100, 151));
    }
    QImage edgeOut;
    filter.Deinterlace(edge, edgeOut);
    EXPECT_EQ(edgeOut.pixel(1, 1), qRgb(100, 100, 145)); // 40 x 51 = 2040
    edge.setPixel(1, 2, qRgb(100, 100, 150));
    edge.setPixel(2, 2, qRgb(100, 100, 150));
    filter.Deinterlace(edge, edgeOut);
    EXPECT_EQ(edgeOut.pixel(1, 1), qRgb(100, 100, 100)); // 40 x 50 = 2000
    // Signed sums: a channel lying between its neighbours takes away from the others.
    QImage source(4, 3, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x) {
        source.setPixel(x, 0, qRgb(150, 130, 0));
        source.setPixel(x, 1, qRgb(100, 100, 0));
        source.setPixel(x, 2, qRgb(150, 70, 0)); // red +50/+50, green +30/-30: 7500 - 5400
    }
    QImage dest;
    filter.Deinterlace(source, dest);
    EXPECT_EQ(dest.pixel(2, 1), qRgb(150, 100, 0));
    for (int x = 0; x < 4; ++x)
        source.setPixel(x, 2, qRgb(150, 60, 0)); // green +30/-40: 7500 - 7200
    filter.Deinterlace(source, dest);
    EXPECT_TRUE(SamePixels(dest, source));
}

TEST(Deinterlacer, TheAverageIsTruncatedPerChannel)
{
    QImage source(3, 3, QImage::Format_RGB32);
    for (int x = 0; x < 3; ++x) {
        source.setPixel(x, 0, qRgb(255, 1, 200));
        source.setPixel(x, 1, qRgb(0, 255, 0));
        source.setPixel(x, 2, qRgb(0, 2, 101));
    }
    TDeinterlacer filter;
    QImage dest;
    filter.Deinterlace(source, dest);
    EXPECT_EQ(dest.pixel(1, 1), qRgb(127, 1, 150));
}

TEST(Deinterlacer, ShortFramesEvenRowsAndTheLastRowAreNeverChanged)
{
    TDeinterlacer filter;
    for (int height : {1, 2}) {
        QImage source = Filled(6, height, qRgb(255, 255, 255));
        PaintComb(source, 0, 6, qRgb(0, 0, 0));
        QImage dest;
        filter.Deinterlace(source, dest);
        EXPECT_TRUE(SamePixels(dest, source)) << height;
    }
    // Every row alternates, even rows included; the odd last row of an even height stays.
    for (int height : {4, 5}) {
        QImage source = Filled(6, height, qRgb(255, 255, 255));
        PaintComb(source, 0, 6, qRgb(0, 0, 0));
        QImage dest;
        filter.Deinterlace(source, dest);
        for (int y = 0; y < height; ++y) {
            const bool changed = y % 2 == 1 && y < height - 1;
            EXPECT_EQ(dest.pixel(3, y), changed ? qRgb(255, 255, 255) : source.pixel(3, y))
                << height << " row " << y;
        }
    }
}

TEST(Deinterlacer, TheFourthByteAndTheFormatAreKept)
{
    for (QImage::Format format :
         {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32}) {
        QImage source(4, 3, format);
        auto* rows = reinterpret_cast<QRgb*>(source.bits());
        for (int i = 0; i < 12; ++i) {
            const int row = i / 4;
            rows[i] = row == 1 ? qRgba(10, 20, 30, 0x40) : qRgba(0x40, 0x40, 0x40, 0xFF);
        }
        TDeinterlacer filter;
        QImage dest;
        filter.Deinterlace(source, dest);
        ASSERT_EQ(dest.format(), format);
        // In memory: blue, green, red, fourth byte.
        const uchar* pixel = dest.constScanLine(1) + 4;
        EXPECT_EQ(pixel[0], 0x40);
        EXPECT_EQ(pixel[1], 0x40);
        EXPECT_EQ(pixel[2], 0x40);
        EXPECT_EQ(pixel[3], 0x40) << format;
    }
}

TEST(Deinterlacer, TheSourceIsLeftAloneAndMayBeTheDestination)
{
    QImage source = Filled(6, 5, qRgb(255, 255, 255));
    PaintComb(source, 1, 3, qRgb(0, 0, 0));
    const QImage original = source.copy();
    TDeinterlacer filter;
    QImage dest;
    filter.Deinterlace(source, dest);
    EXPECT_TRUE(SamePixels(source, original));
    EXPECT_FALSE(SamePixels(dest, original));

    QImage inPlace = original.copy();
    filter.Deinterlace(inPlace, inPlace);
    EXPECT_TRUE(SamePixels(inPlace, dest));
}

TEST(Deinterlacer, MasksOfAnEarlierCallDoNotLeakIntoTheNext)
{
    TDeinterlacer filter;
    QImage combed = Filled(8, 7, qRgb(255, 255, 255));
    PaintComb(combed, 0, 8, qRgb(0, 0, 0));
    QImage dest;
    filter.Deinterlace(combed, dest);
    ASSERT_FALSE(SamePixels(dest, combed));

    // Same size, then smaller, then larger: no mark of the combed frame remains.
    for (QSize size : {QSize(8, 7), QSize(3, 4), QSize(12, 9)}) {
        const QImage still = Filled(size.width(), size.height(), qRgb(0, 0, 0));
        filter.Deinterlace(still, dest);
        EXPECT_TRUE(SamePixels(dest, still)) << size.width() << "x" << size.height();
    }
    filter.Deinterlace(combed, dest);
    QImage fresh;
    TDeinterlacer().Deinterlace(combed, fresh);
    EXPECT_TRUE(SamePixels(dest, fresh));
}
