#include "grab/ImageNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string S(const QString& aText)
{
    return aText.toStdString();
}

void Touch(const QString& aPath)
{
    QFile file(aPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << S(aPath);
}

TImageNameSettings NumberMode(const QString& aFolder)
{
    TImageNameSettings settings;
    settings.folder = aFolder;
    settings.suffixKind = 1;
    return settings;
}

} // namespace

TEST(ImageNames, FormatNumberPadsWithZerosAndNeverCuts)
{
    EXPECT_EQ(S(FormatNumber(1, 3)), "001");
    EXPECT_EQ(S(FormatNumber(0, 3)), "000");
    EXPECT_EQ(S(FormatNumber(999, 3)), "999");
    EXPECT_EQ(S(FormatNumber(1234, 3)), "1234");
    EXPECT_EQ(S(FormatNumber(7, 16)), "0000000000000007");
    EXPECT_EQ(S(FormatNumber(42, 0)), "42");
    EXPECT_EQ(S(FormatNumber(42, -5)), "42");
    EXPECT_EQ(S(FormatNumber(42, 1'000'000'000)), "0000000000000042"); // sixteen at most
    EXPECT_EQ(S(FormatNumber(123456789012LL, 3)), "123456789012");
    // The sign is one of the characters counted, the zeros go in front of it.
    EXPECT_EQ(S(FormatNumber(-5, 4)), "00-5");
}

TEST(ImageNames, NameWithoutExtensionCutsAtTheLastDotOfTheFileName)
{
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("/films/vacances.ete.avi"))), "vacances.ete");
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("/video/clip"))), "clip");
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("/v.2/clip"))), "clip");
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("clip.part1.avi"))), "clip.part1");
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("/v/.mkv"))), "");
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("/v/a."))), "a");
    EXPECT_EQ(S(NameWithoutExtension(QStringLiteral("/v/Vidéo de l'été #1 [50%]*.mp4"))),
              "Vidéo de l'été #1 [50%]*");
}

TEST(ImageNames, TheRootIsTheFixedTextOrTheVideosNameCutWhenAsked)
{
    const QString video = QStringLiteral("/films/vacances.ete.avi");
    TImageNameSettings settings;
    EXPECT_EQ(S(ImageRoot(settings, video)), "Tessarine");
    settings.fixedRoot = QStringLiteral("Été 2024 #3*[x]%");
    settings.limitLength = true;
    settings.rootLength = 2;
    EXPECT_EQ(S(ImageRoot(settings, video)), "Été 2024 #3*[x]%"); // the limit is the video's

    settings.rootSource = 1;
    settings.limitLength = false;
    EXPECT_EQ(S(ImageRoot(settings, video)), "vacances.ete");
    settings.rootSource = 7; // any value but 0
    EXPECT_EQ(S(ImageRoot(settings, video)), "vacances.ete");
    settings.limitLength = true;
    settings.rootLength = 8;
    EXPECT_EQ(S(ImageRoot(settings, video)), "vacances");
    settings.rootLength = 40;
    EXPECT_EQ(S(ImageRoot(settings, video)), "vacances.ete");
    settings.rootLength = 0;
    EXPECT_EQ(S(ImageRoot(settings, video)), "");
    settings.rootLength = -3;
    EXPECT_EQ(S(ImageRoot(settings, video)), "");
    settings.rootLength = 5;
    EXPECT_EQ(S(ImageRoot(settings, QStringLiteral("/v/Éété à Noël.dv"))), "Éété ");
    // A character outside the basic plane is not cut in half.
    EXPECT_EQ(S(ImageRoot(settings, QStringLiteral("/v/ab\U0001D11Ecd.dv"))), "ab\U0001D11Ecd");
    settings.rootLength = 3;
    EXPECT_EQ(S(ImageRoot(settings, QStringLiteral("/v/ab\U0001D11Ecd.dv"))), "ab\U0001D11E");

    // No video: an empty root, limit or not.
    EXPECT_EQ(S(ImageRoot(settings, QString())), "");
    settings.limitLength = false;
    EXPECT_EQ(S(ImageRoot(settings, QString())), "");
}

TEST(ImageNames, TheFolderEndsWithOneSlash)
{
    EXPECT_EQ(S(ImageFolder(QStringLiteral("/home/léa/Images"))), "/home/léa/Images/");
    EXPECT_EQ(S(ImageFolder(QStringLiteral("/home/léa/Images/"))), "/home/léa/Images/");
    EXPECT_EQ(S(ImageFolder(QStringLiteral("/home/léa/Images\\"))), "/home/léa/Images/");
    EXPECT_EQ(S(ImageFolder(QStringLiteral("/mnt/a b#%"))), "/mnt/a b#%/");
    EXPECT_EQ(S(ImageFolder(QString())), "/");
}

TEST(ImageNames, TheTimeStampIsThePositionWithDots)
{
    EXPECT_EQ(S(TimeStampText(QStringLiteral("0:01:23:12"))), "0.01.23.12");
    EXPECT_EQ(S(TimeStampText(QStringLiteral("12:00:00:00"))), "12.00.00.00");
    // 25 frames a second: 1 h 02 min 03 s and 4 frames.
    const qint64 frame = 400000;
    const qint64 position = (3600LL + 2 * 60 + 3) * 10000000LL + 4 * frame;
    EXPECT_EQ(S(TimeStampText(frame, position)), "1.02.03.04");
    EXPECT_EQ(S(TimeStampText(frame, 0)), "0.00.00.00");
}

TEST(ImageNames, TheNextPathJoinsFolderRootSuffixAndExtension)
{
    TImageNameSettings settings = NumberMode(QStringLiteral("/home/léa/Images"));
    EXPECT_EQ(S(NextImagePath(settings, QString(), QString(), QString())),
              "/home/léa/Images/Tessarine_001.bmp");
    settings.nextNumber = 2;
    EXPECT_EQ(S(NextImagePath(settings, QString(), QString(), QString())),
              "/home/léa/Images/Tessarine_002.bmp");
    settings.nextNumber = 1234;
    EXPECT_EQ(S(NextImagePath(settings, QString(), QString(), QString())),
              "/home/léa/Images/Tessarine_1234.bmp");

    settings.suffixKind = 0;
    settings.extension = 1;
    EXPECT_EQ(S(NextImagePath(settings, QString(), QStringLiteral("1:02:03:04"), QString())),
              "/home/léa/Images/Tessarine_1.02.03.04.jpg");
    settings.extension = 9; // any value but 0
    settings.folder = QStringLiteral("/home/léa/Images\\");
    settings.rootSource = 1;
    EXPECT_EQ(S(NextImagePath(settings, QStringLiteral("/v/Vidéo #1 [50%]*?.mkv"),
                              QStringLiteral("0:00:00:01"), QString())),
              "/home/léa/Images/Vidéo #1 [50%]*?_0.00.00.01.jpg");
    // No video: the root is empty, the underscore stays.
    EXPECT_EQ(S(NextImagePath(settings, QString(), QStringLiteral("0:00:00:01"), QString())),
              "/home/léa/Images/_0.00.00.01.jpg");

    // Another suffix kind leaves the path as it was.
    settings.suffixKind = 2;
    EXPECT_EQ(S(NextImagePath(settings, QString(), QString(), QStringLiteral("/a/b_001.bmp"))),
              "/a/b_001.bmp");
    settings.suffixKind = -1;
    EXPECT_EQ(S(NextImagePath(settings, QString(), QString(), QString())), "");
    EXPECT_EQ(S(ImageExtension(0)), ".bmp");
    EXPECT_EQ(S(ImageExtension(1)), ".jpg");
}

TEST(ImageNames, AClickShowsTheNextImageOrTheFirstOfItsRootOrTheFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString root = QStringLiteral("Tessarine");
    const QString next = folder + QStringLiteral("Tessarine_003.bmp");

    // An empty folder opens.
    TImageClickTarget target = ImageClickTarget(next, dir.path(), root);
    EXPECT_EQ(target.kind, TImageClickTarget::OpenFolder);
    EXPECT_EQ(S(target.path), S(folder));

    // Names that only look alike do not count.
    Touch(folder + QStringLiteral("Tessarine.bmp"));
    Touch(folder + QStringLiteral("Tessarine2_000.bmp"));
    Touch(folder + QStringLiteral("tessarine_000.bmp"));
    Touch(folder + QStringLiteral("Autre_000.bmp"));
    target = ImageClickTarget(next, dir.path(), root);
    EXPECT_EQ(target.kind, TImageClickTarget::OpenFolder);

    // Earlier images: the first in order, whatever the extension.
    Touch(folder + QStringLiteral("Tessarine_002.bmp"));
    Touch(folder + QStringLiteral("Tessarine_001.jpg"));
    target = ImageClickTarget(next, dir.path() + QStringLiteral("\\"), root);
    EXPECT_EQ(target.kind, TImageClickTarget::ShowFile);
    EXPECT_EQ(S(target.path), S(folder + QStringLiteral("Tessarine_001.jpg")));

    // The next image itself once it exists.
    Touch(next);
    target = ImageClickTarget(next, dir.path(), root);
    EXPECT_EQ(target.kind, TImageClickTarget::ShowFile);
    EXPECT_EQ(S(target.path), S(next));

    // A folder at the next path is not the image; any entry of the root counts.
    QTemporaryDir other;
    const QString otherNext = other.path() + QStringLiteral("/Tessarine_001.bmp");
    ASSERT_TRUE(QDir().mkdir(otherNext));
    target = ImageClickTarget(otherNext, other.path(), root);
    EXPECT_EQ(target.kind, TImageClickTarget::ShowFile);
    EXPECT_EQ(S(target.path), S(otherNext));
    EXPECT_FALSE(ImageFileExists(otherNext));
    EXPECT_TRUE(ImageFileExists(next));

    // No folder: nothing.
    target = ImageClickTarget(folder + QStringLiteral("absent/x_001.bmp"),
                              folder + QStringLiteral("absent"), root);
    EXPECT_EQ(target.kind, TImageClickTarget::Nothing);
    EXPECT_TRUE(target.path.isEmpty());
}

TEST(ImageNames, AClickMatchesOddRootsAsPlainText)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    Touch(folder + QStringLiteral("aXb_001.bmp"));
    Touch(folder + QStringLiteral("a[b]c_001.bmp"));
    Touch(folder + QStringLiteral("ab_001.bmp"));
    Touch(folder + QStringLiteral("Vidéo de l'été #1 100%_0.00.01.02.jpg"));

    struct TCase {
        QString root;
        QString found; // empty: the folder opens
    };
    const TCase cases[] = {
        {QStringLiteral("a*b"), {}},
        {QStringLiteral("a?b"), {}},
        {QStringLiteral("a[X]b"), {}},
        {QStringLiteral("*"), {}},
        {QStringLiteral("a[b]c"), QStringLiteral("a[b]c_001.bmp")},
        {QStringLiteral("Vidéo de l'été #1 100%"),
         QStringLiteral("Vidéo de l'été #1 100%_0.00.01.02.jpg")},
        {QStringLiteral("ab"), QStringLiteral("ab_001.bmp")},
    };
    for (const TCase& c : cases) {
        const TImageClickTarget target =
            ImageClickTarget(folder + c.root + QStringLiteral("_009.bmp"), dir.path(), c.root);
        if (c.found.isEmpty()) {
            EXPECT_EQ(target.kind, TImageClickTarget::OpenFolder) << S(c.root);
        } else {
            EXPECT_EQ(target.kind, TImageClickTarget::ShowFile) << S(c.root);
            EXPECT_EQ(S(target.path), S(folder + c.found));
        }
    }
    Touch(folder + QStringLiteral("a*b_002.bmp"));
    const TImageClickTarget star =
        ImageClickTarget(folder + QStringLiteral("a*b_009.bmp"), dir.path(), QStringLiteral("a*b"));
    EXPECT_EQ(S(star.path), S(folder + QStringLiteral("a*b_002.bmp")));
}
