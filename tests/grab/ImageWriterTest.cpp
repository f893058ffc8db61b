#include "grab/TImageWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage Plain(int aShade)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(aShade, aShade, aShade));
    return image;
}

TImageWriter::TJob Job(const QString& aPath, int aNumber, QSize aSize = {})
{
    return {Plain(aNumber * 20), aSize, aPath, TImageFileFormat::Bmp, 90, aNumber};
}

QString Name(const QTemporaryDir& aDir, int aNumber)
{
    return QDir(aDir.path()).filePath(QStringLiteral("image-%1.bmp").arg(aNumber));
}

} // namespace

TEST(ImageWriter, WritesEverythingQueuedInOrderScaledAsAsked)
{
    QTemporaryDir dir;
    TImageWriter writer;
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(writer.Queue(Job(Name(dir, i), i, i == 3 ? QSize(80, 48) : QSize())));
    writer.Finish();
    EXPECT_FALSE(writer.Failure());
    for (int i = 1; i <= 10; ++i) {
        EXPECT_FALSE(writer.Pending(Name(dir, i)));
        const QImage back(Name(dir, i));
        ASSERT_FALSE(back.isNull()) << i;
        EXPECT_EQ(back.size(), i == 3 ? QSize(80, 48) : QSize(64, 48));
        EXPECT_EQ(qGray(back.pixel(5, 5)), i * 20);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 10); // no temporary file left
}

TEST(ImageWriter, AFailedWriteDropsWhatFollowsAndRefusesMore)
{
    QTemporaryDir dir;
    TImageWriter writer;
    const QString missing = QDir(dir.path()).filePath(QStringLiteral("gone/image-3.bmp"));
    ASSERT_TRUE(writer.Queue(Job(Name(dir, 1), 1)));
    ASSERT_TRUE(writer.Queue(Job(Name(dir, 2), 2)));
    ASSERT_TRUE(writer.Queue(Job(missing, 3)));
    // Queued before or refused after the failure: never written.
    for (int i = 4; i <= 8; ++i)
        writer.Queue(Job(Name(dir, i), i));
    writer.Finish();
    const auto failure = writer.Failure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, 3);
    EXPECT_TRUE(failure->error.startsWith(QStringLiteral("Impossible d'enregistrer l'image")))
        << failure->error.toStdString();
    EXPECT_FALSE(writer.Queue(Job(Name(dir, 9), 9)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({QStringLiteral("image-1.bmp"), QStringLiteral("image-2.bmp")}));
    // Once the failure is taken, writing goes on.
    writer.Reset();
    ASSERT_TRUE(writer.Queue(Job(Name(dir, 3), 3)));
    writer.Finish();
    EXPECT_TRUE(QFile::exists(Name(dir, 3)));
}

TEST(ImageWriter, ItsEndWritesWhatIsStillQueued)
{
    QTemporaryDir dir;
    {
        TImageWriter writer;
        for (int i = 1; i <= 4; ++i)
            ASSERT_TRUE(writer.Queue(Job(Name(dir, i), i, QSize(640, 480))));
        EXPECT_TRUE(writer.Pending(Name(dir, 4)) || QFile::exists(Name(dir, 4)));
    }
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(QFile::exists(Name(dir, i))) << i;
}
