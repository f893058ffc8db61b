// The scene file reader: the header's scene and the records, the length prefixes of the
// strings, the flagged fields, files that end early or claim more than they hold; the search
// of the scene before and after a frame.
#include "files/TSceneList.h"

#include <SceneFile.h>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using SceneFile::TEntry;

QByteArray WithFirstName(const QByteArray& aName)
{
    return SceneFile::Make({{.Start = 7, .Name = aName}, {.Start = 40}});
}

std::vector<qint32> Starts(const TSceneList& aList)
{
    std::vector<qint32> starts;
    for (qsizetype i = 0; i < aList.Count(); ++i)
        starts.push_back(SceneAt(aList, i)->StartFrame);
    return starts;
}

} // namespace

TEST(SceneList, CountTwoGivesThreeScenes)
{
    const QByteArray bytes = SceneFile::Make(
        {{.Start = 0, .Second = 11}, {.Start = 250, .Second = 22}, {.Start = 1000, .Second = -3}});
    TSceneList list;
    ASSERT_TRUE(ReadScenes(list, bytes, QStringLiteral("/v/clip.scn")));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(Starts(list), (std::vector<qint32>{0, 250, 1000}));
    EXPECT_EQ(SceneAt(list, 1)->Second, 22);
    EXPECT_EQ(SceneAt(list, 2)->Second, -3);
    EXPECT_EQ(SceneAt(list, 2)->Path, QStringLiteral("/v/clip.scn"));
    EXPECT_EQ(SceneAt(list, 3), nullptr);
    EXPECT_EQ(SceneAt(list, -1), nullptr);
    ClearScenes(list);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(SceneAt(list, 0), nullptr);
}

TEST(SceneList, StringLengthsAreLittleEndian)
{
    // 300 bytes after FF 2C 01: read high byte first they would be 11,265 and overrun the file.
    QByteArray longText("\xFF\x2C\x01", 3);
    longText.append(300, '\xFF');
    TSceneList list;
    ASSERT_TRUE(ReadScenes(list, WithFirstName(longText), QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{7, 40}));
}

TEST(SceneList, WideStringsCountTwoBytesACharacter)
{
    TSceneList list;
    // The marker FE FF, then three characters.
    ASSERT_TRUE(ReadScenes(list,
                           WithFirstName(QByteArray("\xFF\xFE\xFF\x03"
                                                    "a\0b\0c\0",
                                                    10)),
                           QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{7, 40}));
    // A long wide string: FF after the marker, then its length, two characters.
    ASSERT_TRUE(ReadScenes(list,
                           WithFirstName(QByteArray("\xFF\xFE\xFF\xFF\x02\x00"
                                                    "d\0e\0",
                                                    10)),
                           QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{7, 40}));
    // Short strings, the empty one too.
    ASSERT_TRUE(ReadScenes(list, WithFirstName(QByteArray("\x00", 1)), QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{7, 40}));
    QByteArray longest("\xFE", 1);
    longest.append(254, 'n');
    ASSERT_TRUE(ReadScenes(list, WithFirstName(longest), QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{7, 40}));
}

TEST(SceneList, FlagsAddTheirFields)
{
    const QByteArray bytes = SceneFile::Make({{.Start = 5, .F1 = 0x80, .F2 = 0x40},
                                              {.Start = 60, .F1 = 0x80},
                                              {.Start = 70, .F2 = 0x40},
                                              {.Start = 80, .F1 = 0x7F, .F2 = 0xBF},
                                              {.Start = 90, .F1 = 0xFF, .F2 = 0xFF}});
    TSceneList list;
    ASSERT_TRUE(ReadScenes(list, bytes, QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{5, 60, 70, 80, 90}));
}

TEST(SceneList, AShortFileKeepsItsCompleteScenes)
{
    const std::vector<TEntry> scenes{
        {.Start = 1, .F1 = 0x80}, {.Start = 2, .F2 = 0x40}, {.Start = 3}};
    SceneFile::TWriter w;
    w.Header(scenes[0], 2);
    const qsizetype headerEnd = w.Bytes.size();
    w.Record(scenes[1]);
    const qsizetype firstEnd = w.Bytes.size();
    w.Record(scenes[2]);
    const QByteArray whole = w.Bytes;
    TSceneList list;
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_FALSE(ReadScenes(list, whole.left(cut), QString()));
        const qsizetype complete = cut < headerEnd ? 0 : cut < firstEnd ? 1 : 2;
        EXPECT_EQ(list.Count(), complete);
    }
    EXPECT_TRUE(ReadScenes(list, whole, QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{1, 2, 3}));
}

TEST(SceneList, AHugeCountReadsWhatIsThere)
{
    SceneFile::TWriter w;
    w.Header({.Start = 9}, 0xFFFF);
    w.Record({.Start = 19});
    TSceneList list;
    EXPECT_FALSE(ReadScenes(list, w.Bytes, QString()));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{9, 19}));
}

TEST(SceneList, AStringLongerThanTheFileFails)
{
    TSceneList list;
    ASSERT_TRUE(ReadScenes(list, SceneFile::Starting({1, 2}), QString()));
    EXPECT_FALSE(
        ReadScenes(list, WithFirstName(QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF", 6)), QString()));
    EXPECT_TRUE(list.IsEmpty());
}

TEST(SceneList, AMissingOrUnreadableFileLeavesNoScenes)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("clip.scn"));
    ASSERT_TRUE(SceneFile::Write(path, SceneFile::Starting({0, 100})));
    TSceneList list;
    ASSERT_TRUE(LoadScenes(list, path));
    EXPECT_EQ(Starts(list), (std::vector<qint32>{0, 100}));
    EXPECT_EQ(SceneAt(list, 0)->Path, path);

    EXPECT_FALSE(LoadScenes(list, QDir(dir.path()).filePath(QStringLiteral("other.scn"))));
    EXPECT_TRUE(list.IsEmpty());

    ASSERT_TRUE(LoadScenes(list, path));
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("folder.scn"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(LoadScenes(list, folder));
    EXPECT_TRUE(list.IsEmpty());

    ASSERT_TRUE(LoadScenes(list, path));
    const QString empty = QDir(dir.path()).filePath(QStringLiteral("empty.scn"));
    ASSERT_TRUE(SceneFile::Write(empty, QByteArray()));
    EXPECT_FALSE(LoadScenes(list, empty));
    EXPECT_TRUE(list.IsEmpty());
}

TEST(SceneList, ScenesBeforeAndAfterAFrame)
{
    TSceneList list;
    EXPECT_EQ(NextSceneStart(list, 0), std::nullopt);
    EXPECT_EQ(PreviousSceneStart(list, 0), std::nullopt);
    ASSERT_TRUE(ReadScenes(list, SceneFile::Starting({10, 20, 30}), QString()));
    EXPECT_EQ(NextSceneStart(list, 0), 10);
    EXPECT_EQ(NextSceneStart(list, 10), 20); // on a start: the following one
    EXPECT_EQ(NextSceneStart(list, 15), 20);
    EXPECT_EQ(NextSceneStart(list, 30), std::nullopt);
    EXPECT_EQ(PreviousSceneStart(list, 30), 20); // on a start: the one before
    EXPECT_EQ(PreviousSceneStart(list, 25), 20);
    EXPECT_EQ(PreviousSceneStart(list, 99), 30);
    EXPECT_EQ(PreviousSceneStart(list, 10), std::nullopt);
    // Taken in file order, as they come.
    ASSERT_TRUE(ReadScenes(list, SceneFile::Starting({50, 20, 80}), QString()));
    EXPECT_EQ(NextSceneStart(list, 30), 50);
    EXPECT_EQ(PreviousSceneStart(list, 60), 20);
    // Starts compare as signed values.
    ASSERT_TRUE(ReadScenes(list, SceneFile::Starting({-5, 2147483647}), QString()));
    EXPECT_EQ(NextSceneStart(list, -10), -5);
    EXPECT_EQ(NextSceneStart(list, 0), 2147483647);
    EXPECT_EQ(PreviousSceneStart(list, 0), -5);
}
