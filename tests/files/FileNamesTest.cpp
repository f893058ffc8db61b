#include "files/FileNames.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& aPath)
{
    QFile f(aPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << aPath.toStdString();
}

TEST(FileNames, PartsOfAName)
{
    EXPECT_EQ(ExtractFilePath(QStringLiteral("/v/a.b/clip")), QStringLiteral("/v/a.b/"));
    EXPECT_EQ(ExtractFileName(QStringLiteral("/v/a.b/clip")), QStringLiteral("clip"));
    // The dot must be in the file part.
    EXPECT_EQ(ExtractFileExt(QStringLiteral("/v/a.b/clip")), QString());
    EXPECT_EQ(ExtractFileExt(QStringLiteral("/v/clip.part1.AVI")), QStringLiteral(".AVI"));
    EXPECT_EQ(ChangeFileExt(QStringLiteral("Sans titre.doc"), QStringLiteral(".txt")),
              QStringLiteral("Sans titre.txt"));
    EXPECT_EQ(ChangeFileExt(QStringLiteral("Macro"), QStringLiteral(".txt")),
              QStringLiteral("Macro.txt"));
}

TEST(FileNames, ShorteningKeepsTheFileAndCutsTheFolder)
{
    // The Part's example with "/" for "\".
    EXPECT_EQ(ShortenFileName(QStringLiteral("C:/Videos/Vacances/plage.avi"), 20),
              QStringLiteral("C:/Videos/V.../plage.avi"));
    // Short enough: unchanged.
    EXPECT_EQ(ShortenFileName(QStringLiteral("/v/plage.avi"), 50), QStringLiteral("/v/plage.avi"));
    // A long file part is cut to L - 4 and the folder disappears but for ".../".
    EXPECT_EQ(ShortenFileName(QStringLiteral("/videos/abcdefghijklmnop.avi"), 14),
              QStringLiteral("/vid.../abcdefghij"));
    // At length 50 (the main window's), a deep folder is cut at 50 - the file's length.
    const QString deep = QStringLiteral("/home/utilisateur/Vidéos/Été 2023/Vacances en famille/") +
                         QStringLiteral("plage.avi");
    const QString shortened = ShortenFileName(deep, 50);
    EXPECT_EQ(shortened, deep.left(41) + QStringLiteral(".../plage.avi"));
    EXPECT_EQ(ShortenFileName(QString(), 50), QString());
    // Length 0 (after construction) leaves only the mark.
    EXPECT_EQ(ShortenFileName(QStringLiteral("/v/a.avi"), 0), QStringLiteral(".../"));
}

TEST(FileNames, ShorteningNeverSplitsASurrogatePair)
{
    // U+1F3AC is two UTF-16 units; a cut between them drops the whole character.
    const QString name = QStringLiteral("/v/ab\U0001F3ACcd.avi");
    const QString cut = ShortenFileName(name, 7); // file part cut to 3 units: "ab" + half
    EXPECT_EQ(cut, QStringLiteral("/v/ab"));
    for (const QChar c : cut)
        EXPECT_FALSE(c.isSurrogate());
}

TEST(FileNames, AmpersandsAreDoubledForMenus)
{
    EXPECT_EQ(LiteralMenuText(QStringLiteral("1 /v/Tom & Jerry.avi")),
              QStringLiteral("1 /v/Tom && Jerry.avi"));
}

TEST(FileNames, NextFreeNameCountsWithThreeDigitsAndNoBound)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("clip.avi"));
    EXPECT_EQ(NextFreeName(name), name);
    Touch(name);
    EXPECT_EQ(NextFreeName(name), dir.filePath(QStringLiteral("clip_001.avi")));
    Touch(dir.filePath(QStringLiteral("clip_001.avi")));
    EXPECT_EQ(NextFreeName(name), dir.filePath(QStringLiteral("clip_002.avi")));
    for (int n = 2; n <= 999; ++n)
        Touch(dir.filePath(QStringLiteral("clip_%1.avi").arg(n, 3, 10, QLatin1Char('0'))));
    EXPECT_EQ(NextFreeName(name), dir.filePath(QStringLiteral("clip_1000.avi")));
    // Without an extension the number goes at the end.
    const QString bare = dir.filePath(QStringLiteral("notes"));
    Touch(bare);
    EXPECT_EQ(NextFreeName(bare), dir.filePath(QStringLiteral("notes_001")));
}

TEST(FileNames, SameFileComparesCanonicalPathsOfExistingFiles)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.avi"));
    Touch(a);
    const QString link = dir.filePath(QStringLiteral("lien.avi"));
    ASSERT_TRUE(QFile::link(a, link));
    EXPECT_TRUE(SameFileName(a, link));
    EXPECT_TRUE(SameFileName(a, dir.filePath(QStringLiteral("sub/../a.avi"))) ||
                !QDir(dir.filePath(QStringLiteral("sub"))).exists());
    EXPECT_TRUE(SameFileName(a, dir.path() + QStringLiteral("/./a.avi")));
    // Case matters on Linux; missing files compare as text.
    EXPECT_FALSE(SameFileName(a, dir.filePath(QStringLiteral("A.AVI"))));
    EXPECT_TRUE(SameFileName(QStringLiteral("/nulle/part"), QStringLiteral("/nulle/part")));
    EXPECT_FALSE(SameFileName(QStringLiteral("/nulle/part"), QStringLiteral("/nulle/./part")));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(FileExists(a));
}

TEST(FileNames, WindowsFiltersBecomeQtFilters)
{
    EXPECT_EQ(QtFilterFromWindows(QStringLiteral("Vidéos (*.avi;*.mpg)|*.avi;*.mpg|Tous fichiers "
                                                 "(*.*)|*.*")),
              QStringLiteral("Vidéos (*.avi *.mpg);;Tous fichiers (*)"));
    EXPECT_EQ(QtFilterFromWindows(QStringLiteral("Fichiers Macro (*.txt)|*.txt")),
              QStringLiteral("Fichiers Macro (*.txt)"));
    // A description without its own pattern list gets one.
    EXPECT_EQ(QtFilterFromWindows(QStringLiteral("Macros|*.txt")),
              QStringLiteral("Macros (*.txt)"));
    // An unpaired last description is dropped; an empty filter gives none.
    EXPECT_EQ(QtFilterFromWindows(QStringLiteral("A|*.a|B")), QStringLiteral("A (*.a)"));
    EXPECT_EQ(QtFilterFromWindows(QString()), QString());
    const QString qt = QStringLiteral("A (*.a);;B (*.b)");
    EXPECT_EQ(QtFilterEntry(qt, 2), QStringLiteral("B (*.b)"));
    EXPECT_EQ(QtFilterEntry(qt, 9), QStringLiteral("B (*.b)"));
    EXPECT_EQ(QtFilterEntry(qt, 0), QStringLiteral("A (*.a)"));
    EXPECT_EQ(QtFilterIndex(qt, QStringLiteral("B (*.b)")), 2);
    EXPECT_EQ(QtFilterIndex(qt, QStringLiteral("C")), 1);
}

TEST(FileNames, UriListsGiveLocalFilesWithSpacesAndAccents)
{
    const QString path = QStringLiteral("/tmp/Mes vidéos/Été à la plage (1) & co.avi");
    QByteArray list = "# commentaire\r\n";
    list += QUrl::fromLocalFile(path).toEncoded() + "\r\n";
    list += "http://exemple.org/x.avi\r\n";
    list += "file://localhost/tmp/b.avi\r\n";
    list += "file://serveur/partage/c.avi\r\n";
    list += "file:///tmp/d%20e.avi"; // the last line may have no CR LF
    EXPECT_EQ(LocalPathsFromUriList(list),
              (QStringList{path, QStringLiteral("/tmp/b.avi"), QStringLiteral("/tmp/d e.avi")}));
}

TEST(FileNames, PlainTextGivesAbsolutePathsAndFileUrls)
{
    const QString text = QStringLiteral("  /tmp/Mes vidéos/ünï cödé.avi  \n\"/tmp/cité.avi\"\r\n"
                                        "relatif.avi\nfile:///tmp/x%C3%A9.avi\nbonjour");
    EXPECT_EQ(LocalPathsFromText(text),
              (QStringList{QStringLiteral("/tmp/Mes vidéos/ünï cödé.avi"),
                           QStringLiteral("/tmp/cité.avi"), QStringLiteral("/tmp/xé.avi")}));
    // No limit of 260 characters.
    const QString longPath = u'/' + QString(300, u'é') + QStringLiteral("/fin.avi");
    EXPECT_EQ(LocalPathsFromText(longPath), QStringList{longPath});
}

TEST(FileNames, MimeDataPrefersTheUriList)
{
    QMimeData both;
    both.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/liste.avi"))});
    both.setText(QStringLiteral("/tmp/texte.avi"));
    EXPECT_EQ(LocalPathsFromMimeData(both), QStringList{QStringLiteral("/tmp/liste.avi")});
    QMimeData textOnly;
    textOnly.setText(QStringLiteral("/tmp/texte.avi"));
    EXPECT_EQ(LocalPathsFromMimeData(textOnly), QStringList{QStringLiteral("/tmp/texte.avi")});
    // A list of remote URLs only falls back to the text.
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://exemple.org/a.avi"))});
    remote.setText(QStringLiteral("/tmp/texte.avi"));
    EXPECT_EQ(LocalPathsFromMimeData(remote), QStringList{QStringLiteral("/tmp/texte.avi")});
    EXPECT_TRUE(LocalPathsFromMimeData(QMimeData()).isEmpty());
}

} // namespace
