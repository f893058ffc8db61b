#include "grab/ImageFiles.h"
#include <algorithm>
#include <vector>

#include "ScratchMount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QByteArray ReadAll(const QString& aPath)
{
    QFile file(aPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 Le(const QByteArray& aBytes, int aAt, int aSize)
{
    quint32 value = 0;
    for (int i = aSize - 1; i >= 0; --i)
        value = (value << 8) | uchar(aBytes.at(aAt + i));
    return value;
}

// Distinct colours everywhere, so that a row or channel out of place shows.
QImage Pattern(int aWidth, int aHeight)
{
    QImage image(aWidth, aHeight, QImage::Format_RGB32);
    for (int y = 0; y < aHeight; ++y)
        for (int x = 0; x < aWidth; ++x)
            image.setPixel(x, y, qRgb(x * 30 % 256, y * 40 % 256, (x * 7 + y * 11) % 256));
    return image;
}

// Large blocks of flat colour, which JPEG keeps close.
QImage Blocks()
{
    QImage image(64, 48, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(200, 30, 30),   qRgb(30, 200, 30), qRgb(30, 30, 200),
                            qRgb(240, 240, 240), qRgb(20, 20, 20),  qRgb(200, 160, 40)};
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, colours[(y / 16) * 2 + (x / 32)]);
    return image;
}

QImage Noise(int aWidth, int aHeight)
{
    QImage image(aWidth, aHeight, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < aHeight; ++y)
        for (int x = 0; x < aWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            image.setPixel(x, y, qRgb(seed >> 24, (seed >> 16) & 0xFF, (seed >> 8) & 0xFF));
        }
    return image;
}

bool Near(QRgb a, QRgb b, int aTolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= aTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= aTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= aTolerance;
}

// The number of components of the JPEG's frame header.
int JpegComponents(const QByteArray& aBytes)
{
    for (qsizetype i = 2; i + 9 < aBytes.size(); ++i)
        if (uchar(aBytes.at(i)) == 0xFF && (uchar(aBytes.at(i + 1)) & 0xF0) == 0xC0 &&
            uchar(aBytes.at(i + 1)) != 0xC4 && uchar(aBytes.at(i + 1)) != 0xC8 &&
            uchar(aBytes.at(i + 1)) != 0xCC)
            return uchar(aBytes.at(i + 9));
    return -1;
}

// The luminance quantisation table (id 0) of a baseline JPEG, in stored (zig-zag) order.
std::vector<int> LumaTable(const QByteArray& aBytes)
{
    for (qsizetype i = 2; i + 4 < aBytes.size();) {
        if (uchar(aBytes.at(i)) != 0xFF)
            return {};
        const int marker = uchar(aBytes.at(i + 1));
        const int length = uchar(aBytes.at(i + 2)) << 8 | uchar(aBytes.at(i + 3));
        if (marker == 0xDA)
            return {};
        if (marker == 0xDB)
            for (qsizetype t = i + 4; t + 65 <= i + 2 + length && t + 65 <= aBytes.size(); t += 65)
                if (uchar(aBytes.at(t)) == 0) { // 8-bit values, table 0
                    std::vector<int> table;
                    for (int k = 1; k <= 64; ++k)
                        table.push_back(uchar(aBytes.at(t + k)));
                    return table;
                }
        i += 2 + length;
    }
    return {};
}

// The standard luminance table scaled as libjpeg scales it for a quality, baseline.
std::vector<int> ScaledLuma(int aQuality)
{
    static const int kStd[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                 58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                 22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                 77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                 103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
    const int scale = aQuality < 50 ? 5000 / aQuality : 200 - aQuality * 2;
    std::vector<int> table;
    for (int v : kStd)
        table.push_back(std::clamp((v * scale + 50) / 100, 1, 255));
    return table;
}

std::vector<int> Sorted(std::vector<int> aTable)
{
    std::sort(aTable.begin(), aTable.end());
    return aTable;
}

const QString kPrefix = QStringLiteral("Impossible d'enregistrer l'image ");

} // namespace

TEST(ImageFiles, BmpIs24BitsBottomUpWithPaddedRowsAndReadsBackExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vidéo de l'été #1 100%_001.bmp"));
    const QImage image = Pattern(7, 5); // 21 bytes a row, padded to 24
    QString error;
    ASSERT_TRUE(SaveImageFile(image, path, TImageFileFormat::Bmp, 50, error))
        << error.toStdString();
    EXPECT_TRUE(error.isEmpty());

    const QByteArray bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 54 + 24 * 5);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(Le(bytes, 2, 4), quint32(bytes.size()));
    EXPECT_EQ(Le(bytes, 10, 4), 54u);
    EXPECT_EQ(Le(bytes, 14, 4), 40u);
    EXPECT_EQ(Le(bytes, 18, 4), 7u);
    EXPECT_EQ(Le(bytes, 22, 4), 5u); // positive height: bottom-up
    EXPECT_EQ(Le(bytes, 28, 2), 24u);
    EXPECT_EQ(Le(bytes, 30, 4), 0u);
    // The first stored pixel is the bottom-left one, blue first; the padding is zero.
    const QRgb bottomLeft = image.pixel(0, 4);
    EXPECT_EQ(uchar(bytes.at(54)), qBlue(bottomLeft));
    EXPECT_EQ(uchar(bytes.at(55)), qGreen(bottomLeft));
    EXPECT_EQ(uchar(bytes.at(56)), qRed(bottomLeft));
    EXPECT_EQ(bytes.mid(54 + 21, 3), QByteArray(3, '\0'));

    const QImage back(path);
    ASSERT_EQ(back.size(), image.size());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(back.pixel(x, y) & 0xFFFFFF, image.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST(ImageFiles, BmpOfOtherFormatsAndOfNoImage)
{
    // Alpha is dropped, other formats are converted.
    QImage argb(2, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 255));
    const QImage back = QImage::fromData(EncodeBmp(argb), "BMP");
    ASSERT_EQ(back.size(), QSize(2, 2));
    EXPECT_EQ(back.pixel(1, 1) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);
    EXPECT_EQ(Le(EncodeBmp(argb.convertToFormat(QImage::Format_Grayscale8)), 28, 2), 24u);

    const QByteArray empty = EncodeBmp(QImage());
    ASSERT_EQ(empty.size(), 54);
    EXPECT_EQ(Le(empty, 18, 4), 0u);
    EXPECT_EQ(Le(empty, 22, 4), 0u);
}

TEST(ImageFiles, JpegReadsBackCloseInThreeComponents)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tessarine_1.02.03.04.jpg"));
    const QImage image = Blocks();
    QString error;
    ASSERT_TRUE(SaveImageFile(image, path, TImageFileFormat::Jpeg, 90, error))
        << error.toStdString();
    const QByteArray bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 4);
    EXPECT_EQ(uchar(bytes.at(0)), 0xFF);
    EXPECT_EQ(uchar(bytes.at(1)), 0xD8);
    EXPECT_EQ(uchar(bytes.at(bytes.size() - 2)), 0xFF);
    EXPECT_EQ(uchar(bytes.at(bytes.size() - 1)), 0xD9);
    EXPECT_EQ(JpegComponents(bytes), 3);

    const QImage back = QImage::fromData(bytes, "JPEG");
    ASSERT_EQ(back.size(), image.size());
    for (QPoint p : {QPoint(8, 8), QPoint(48, 8), QPoint(8, 24), QPoint(48, 24), QPoint(8, 40),
                     QPoint(48, 40)})
        EXPECT_TRUE(Near(back.pixel(p), image.pixel(p), 10))
            << p.x() << "," << p.y() << " " << std::hex << back.pixel(p);
}

TEST(ImageFiles, JpegQualityIsTheStoredValueClampedInto1To100)
{
    EXPECT_EQ(JpegQuality(50), 50);
    EXPECT_EQ(JpegQuality(1), 1);
    EXPECT_EQ(JpegQuality(100), 100);
    EXPECT_EQ(JpegQuality(0), 1);
    EXPECT_EQ(JpegQuality(101), 100);
    EXPECT_EQ(JpegQuality(255), 100);
    EXPECT_EQ(JpegQuality(256 + 30), 100);
    EXPECT_EQ(JpegQuality(256), 100);
    EXPECT_EQ(JpegQuality(-1), 1);

    const QImage image = Noise(96, 64);
    QByteArray low, middle, high;
    QString error;
    ASSERT_TRUE(EncodeJpeg(image, 5, low, error));
    ASSERT_TRUE(EncodeJpeg(image, 50, middle, error));
    ASSERT_TRUE(EncodeJpeg(image, 100, high, error));
    EXPECT_LT(low.size(), middle.size());
    EXPECT_LT(middle.size(), high.size());
    // The quality chosen is the one the file's tables were scaled for.
    for (int q : {5, 50, 90, 100}) {
        QByteArray bytes;
        ASSERT_TRUE(EncodeJpeg(image, q, bytes, error));
        const std::vector<int> table = LumaTable(bytes);
        ASSERT_EQ(table.size(), 64u) << q;
        EXPECT_EQ(Sorted(table), Sorted(ScaledLuma(q))) << q;
    }

    // Through the stored value: 256 + 5 is the best quality, not quality 5.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.jpg"));
    ASSERT_TRUE(SaveImageFile(image, path, TImageFileFormat::Jpeg, 256 + 5, error));
    EXPECT_EQ(ReadAll(path), high);
}

TEST(ImageFiles, ALargeJpegGrowsItsBuffer)
{
    // Far more than the encoder's first buffer.
    const QImage image = Noise(720, 576);
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(EncodeJpeg(image, 100, bytes, error));
    EXPECT_GT(bytes.size(), 256 * 1024);
    const QImage back = QImage::fromData(bytes, "JPEG");
    EXPECT_EQ(back.size(), QSize(720, 576));
}

TEST(ImageFiles, AnEmptyImageIsRefusedByJpegWithoutEndingTheProgram)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.jpg"));
    QString error;
    EXPECT_FALSE(SaveImageFile(QImage(), path, TImageFileFormat::Jpeg, 50, error));
    EXPECT_TRUE(error.startsWith(kPrefix + path + QStringLiteral(" : "))) << error.toStdString();
    EXPECT_GT(error.size(), kPrefix.size() + path.size() + 3);
    EXPECT_FALSE(QFile::exists(path));
    // And the encoder still works afterwards.
    QByteArray bytes;
    EXPECT_TRUE(EncodeJpeg(Blocks(), 50, bytes, error));
}

TEST(ImageFiles, AMissingFolderFailsWithATextAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("absent"));
    for (TImageFileFormat format : {TImageFileFormat::Bmp, TImageFileFormat::Jpeg}) {
        const QString path = folder + QStringLiteral("/Tessarine_001.bmp");
        QString error;
        EXPECT_FALSE(SaveImageFile(Pattern(4, 4), path, format, 50, error));
        EXPECT_TRUE(error.startsWith(kPrefix + path + QStringLiteral(" : ")))
            << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder));
    }
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
}

TEST(ImageFiles, AFileStandingForTheFolderFailsAndStaysWhole)
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("plain"));
    {
        QFile file(notAFolder);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    QString error;
    EXPECT_FALSE(SaveImageFile(Pattern(4, 4), notAFolder + QStringLiteral("/x.bmp"),
                               TImageFileFormat::Bmp, 50, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(notAFolder), QByteArray("keep"));
}

TEST(ImageFiles, AnExistingImageIsReplacedWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tessarine_001.bmp"));
    QString error;
    ASSERT_TRUE(SaveImageFile(Pattern(40, 30), path, TImageFileFormat::Bmp, 50, error));
    ASSERT_TRUE(SaveImageFile(Pattern(3, 2), path, TImageFileFormat::Bmp, 50, error));
    EXPECT_EQ(QImage(path).size(), QSize(3, 2));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(ImageFiles, AnExistingImageSurvivesAFullDisk)
{
    TScratchMount disk(256 * 1024);
    if (!disk.Valid())
        GTEST_SKIP() << TScratchMount::kSkipReason;
    const QString path = disk.File(QStringLiteral("Tessarine_001.bmp"));
    QString error;
    ASSERT_TRUE(SaveImageFile(Pattern(20, 10), path, TImageFileFormat::Bmp, 50, error));
    const QByteArray before = ReadAll(path);
    ASSERT_TRUE(disk.Fill());
    // A small write that fits in a buffer and one far larger than the disk.
    for (QSize size : {QSize(4, 4), QSize(720, 576)})
        for (TImageFileFormat format : {TImageFileFormat::Bmp, TImageFileFormat::Jpeg}) {
            error.clear();
            EXPECT_FALSE(
                SaveImageFile(Noise(size.width(), size.height()), path, format, 100, error))
                << size.width();
            EXPECT_TRUE(error.startsWith(kPrefix + path)) << error.toStdString();
            EXPECT_EQ(ReadAll(path), before);
        }
}

TEST(ImageFiles, AnExistingImageSurvivesAReadOnlyDisk)
{
    TScratchMount disk(1024 * 1024);
    if (!disk.Valid())
        GTEST_SKIP() << TScratchMount::kSkipReason;
    const QString path = disk.File(QStringLiteral("Tessarine_001.jpg"));
    QString error;
    ASSERT_TRUE(SaveImageFile(Blocks(), path, TImageFileFormat::Jpeg, 50, error));
    const QByteArray before = ReadAll(path);
    ASSERT_TRUE(disk.RemountReadOnly());
    EXPECT_FALSE(SaveImageFile(Pattern(8, 8), path, TImageFileFormat::Jpeg, 50, error));
    EXPECT_TRUE(error.startsWith(kPrefix + path)) << error.toStdString();
    EXPECT_EQ(ReadAll(path), before);
}
