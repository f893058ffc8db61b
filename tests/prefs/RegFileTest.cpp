#include "base/TextDecoding.h"
#include "prefs/TRegFile.h"
#include "prefs/TRegistryHive.h"
#include <TestDirs.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

const QString kDrv = QStringLiteral("Software\\DRV");

QByteArray Bytes(const char* aText, qsizetype aSize)
{
    return QByteArray(aText, aSize);
}

// CRLF line ends, as regedit writes them.
QString Crlf(const char* aUtf8)
{
    return QString::fromUtf8(aUtf8).replace(u'\n', QStringLiteral("\r\n"));
}

// One line per operation, to compare parses.
QStringList Summary(const TRegFileContent& aContent)
{
    QStringList lines;
    for (const TRegOperation& op : aContent.Operations)
        lines << QStringLiteral("%1 %2 [%3] %4 %5")
                     .arg(QString::number(op.Kind), op.Key, op.Name, QString::number(op.Type),
                          QString::fromLatin1(op.Data.toHex(' ')));
    return lines;
}

const TRegOperation* FindValue(const TRegFileContent& aContent, const QString& aName)
{
    for (const TRegOperation& op : aContent.Operations)
        if (op.Kind == TRegOperation::SetValue && op.Name == aName)
            return &op;
    return nullptr;
}

class RegFile : public ::testing::Test {
protected:
    TTestConfigHome home;
    QString hive = home.HiveFile();

    QString WriteRegFile(const QByteArray& aBytes)
    {
        const QString name = home.File(QStringLiteral("settings%1.reg").arg(++m_files));
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(aBytes);
        return name;
    }

    std::optional<TRegistryHive::Value> Read(const QString& aKey, const QString& aName)
    {
        TRegistryHive h(hive, TRegistryHive::ReadOnly);
        const auto key = h.OpenKey(aKey, false);
        return key ? h.QueryValue(*key, aName) : std::nullopt;
    }

    void Expect(const QString& aKey, const QString& aName, int aType, const QByteArray& aData)
    {
        const auto v = Read(aKey, aName);
        ASSERT_TRUE(v) << qPrintable(aKey) << " " << qPrintable(aName);
        EXPECT_EQ(v->Type, aType) << qPrintable(aName);
        EXPECT_EQ(v->Data.toHex(' '), aData.toHex(' ')) << qPrintable(aName);
    }

    void Put(const QString& aKey, const QString& aName, const QString& aText)
    {
        TRegistryHive h(hive);
        const auto key = h.OpenKey(aKey, true);
        ASSERT_TRUE(key);
        ASSERT_TRUE(h.SetValue(*key, aName, TRegistryHive::REG_SZ, StringBytes(aText)));
    }

    static QByteArray StringBytes(const QString& aText)
    {
        return TRegistryHive::EncodeString(aText);
    }

    bool KeyExists(const QString& aKey) { return TRegistryHive::KeyExists(hive, aKey); }

private:
    int m_files = 0;
};

// As regedit of Windows 2000 and later exports a decoder set's settings.
const char* const kRegedit5 = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\DRV]
"lang"="défaut"
@="Décodeur €"

[HKEY_CURRENT_USER\Software\DRV\default]
"isDeinterlace"=dword:00000001
"subDelay"=dword:ffffff9c
"bin"=hex:00,7f,80,ff
"exp"=hex(2):25,00,41,00,25,00,00,00
"multi"=hex(7):61,00,00,00,e9,00,00,00,00,00
"big"=hex(b):ff,ff,ff,ff,ff,ff,ff,7f
"d4"=hex(4):10,27,00,00
"none"=hex(0):
"empty"=""
)";

TEST_F(RegFile, Regedit5Utf16FileImportsEveryTypeWithExactBytes)
{
    QStringList errors;
    ASSERT_TRUE(ImportRegFile(WriteRegFile(EncodeUtf16LeBom(Crlf(kRegedit5))), kDrv, hive, &errors))
        << qPrintable(errors.join(u'\n'));
    const QString sub = kDrv + QStringLiteral("\\default");
    // Strings end with a whole UTF-16 NUL, as regedit stores them.
    Expect(kDrv, QStringLiteral("lang"), TRegistryHive::REG_SZ,
           Bytes("d\0\xE9\0f\0a\0u\0t\0\0\0", 14));
    Expect(kDrv, QString(), TRegistryHive::REG_SZ,
           Bytes("D\0\xE9\0c\0o\0d\0"
                 "e\0u\0r\0 \0\xAC\x20\0\0",
                 22));
    Expect(sub, QStringLiteral("isDeinterlace"), TRegistryHive::REG_DWORD, Bytes("\1\0\0\0", 4));
    Expect(sub, QStringLiteral("subDelay"), TRegistryHive::REG_DWORD, Bytes("\x9C\xFF\xFF\xFF", 4));
    Expect(sub, QStringLiteral("bin"), TRegistryHive::REG_BINARY, Bytes("\0\x7F\x80\xFF", 4));
    Expect(sub, QStringLiteral("exp"), TRegistryHive::REG_EXPAND_SZ, Bytes("%\0A\0%\0\0\0", 8));
    Expect(sub, QStringLiteral("multi"), TRegistryHive::REG_MULTI_SZ,
           Bytes("a\0\0\0\xE9\0\0\0\0\0", 10));
    Expect(sub, QStringLiteral("big"), TRegistryHive::REG_QWORD,
           Bytes("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 8));
    Expect(sub, QStringLiteral("d4"), TRegistryHive::REG_DWORD, Bytes("\x10\x27\0\0", 4));
    Expect(sub, QStringLiteral("none"), 0, QByteArray());
    Expect(sub, QStringLiteral("empty"), TRegistryHive::REG_SZ, Bytes("\0\0", 2));

    // Importing again changes nothing; names match without case.
    ASSERT_TRUE(ImportRegFile(WriteRegFile(EncodeUtf16LeBom(Crlf(kRegedit5))),
                              QStringLiteral("software\\drv"), hive, &errors));
    TRegistryHive h(hive, TRegistryHive::ReadOnly);
    EXPECT_EQ(h.ValueNames(*h.OpenKey(sub, false))->size(), 9);
}

TEST_F(RegFile, Regedit4EightBitFileWidensItsStrings)
{
    // Windows-1252 text; hex(2) and hex(7) hold 8-bit strings, hex: bytes stay as they are.
    const QByteArray file("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\DRV]\n"
                          "\"name\"=\"caf\xE9\"\n"
                          "\"exp\"=hex(2):25,54,45,4d,50,25,5c,e9,00\n"
                          "\"utf8\"=hex(2):c3,a9,00\n"
                          "\"multi\"=hex(7):61,00,62,63,00,00\n"
                          "\"bin\"=hex:e9,00\n"
                          "\"dw\"=dword:ffff\n");
    QStringList errors;
    ASSERT_TRUE(ImportRegFile(WriteRegFile(file), kDrv, hive, &errors))
        << qPrintable(errors.join(u'\n'));
    Expect(kDrv, QStringLiteral("name"), TRegistryHive::REG_SZ, Bytes("c\0a\0f\0\xE9\0\0\0", 10));
    Expect(kDrv, QStringLiteral("exp"), TRegistryHive::REG_EXPAND_SZ,
           Bytes("%\0T\0E\0M\0P\0%\0\\\0\xE9\0\0\0", 18));
    Expect(kDrv, QStringLiteral("utf8"), TRegistryHive::REG_EXPAND_SZ, Bytes("\xE9\0\0\0", 4));
    Expect(kDrv, QStringLiteral("multi"), TRegistryHive::REG_MULTI_SZ,
           Bytes("a\0\0\0b\0c\0\0\0\0\0", 12));
    Expect(kDrv, QStringLiteral("bin"), TRegistryHive::REG_BINARY, Bytes("\xE9\0", 2));
    Expect(kDrv, QStringLiteral("dw"), TRegistryHive::REG_DWORD, Bytes("\xFF\xFF\0\0", 4));

    // The same file as UTF-8 reads the same.
    const TRegFileContent utf8 =
        TRegFile::Parse(QByteArray(file).replace("caf\xE9", "caf\xC3\xA9"));
    EXPECT_EQ(Summary(utf8), Summary(TRegFile::Parse(file)));
}

TEST(RegFileSyntax, EscapesContinuationsCommentsAndLineEnds)
{
    const char* const text = R"(Windows Registry Editor Version 5.00
; exported by hand

[HKEY_CURRENT_USER\Software\DRV\]
"a\\b"="C:\\Program Files\\\"x\"\\"
"other"="a\nb"
"sp" = dword:1 ; spaces around =
"long"=hex:00,01,02,\
  03,04,\
; a comment between the lines
	05 ; after the list
"tail"=hex(3):0a,\
"next"=dword:2
[hkcu\Software\DRV]
)";
    const TRegFileContent crlf = TRegFile::Parse(EncodeUtf16LeBom(Crlf(text)));
    ASSERT_EQ(crlf.Version, 5);
    EXPECT_TRUE(crlf.Errors.isEmpty()) << qPrintable(crlf.Errors.join(u'\n'));
    ASSERT_EQ(crlf.Operations.size(), 8);
    EXPECT_EQ(crlf.Operations[0].Key, kDrv); // the trailing separator is dropped
    EXPECT_EQ(crlf.Operations[7].Kind, TRegOperation::CreateKey);
    EXPECT_EQ(crlf.Operations[7].Key, kDrv);

    const auto* escaped = FindValue(crlf, QStringLiteral("a\\b"));
    ASSERT_TRUE(escaped);
    EXPECT_EQ(TRegistryHive::DecodeString(escaped->Data),
              QStringLiteral("C:\\Program Files\\\"x\"\\"));
    // Only \\ and \" are escapes: anything else keeps its backslash.
    EXPECT_EQ(TRegistryHive::DecodeString(FindValue(crlf, QStringLiteral("other"))->Data),
              QStringLiteral("a\\nb"));
    EXPECT_EQ(FindValue(crlf, QStringLiteral("sp"))->Data, Bytes("\1\0\0\0", 4));
    EXPECT_EQ(FindValue(crlf, QStringLiteral("long"))->Data, Bytes("\0\1\2\3\4\5", 6));
    EXPECT_EQ(FindValue(crlf, QStringLiteral("long"))->Line, 8);
    // A continuation followed by a new value ends the list there.
    EXPECT_EQ(FindValue(crlf, QStringLiteral("tail"))->Data, Bytes("\n", 1));
    EXPECT_EQ(FindValue(crlf, QStringLiteral("next"))->Line, 13);

    const QString lf = QString::fromUtf8(text);
    for (const QString& end : {QStringLiteral("\n"), QStringLiteral("\r")}) {
        const TRegFileContent other = TRegFile::Parse(QString(lf).replace(u'\n', end).toUtf8());
        EXPECT_EQ(Summary(other), Summary(crlf));
        EXPECT_TRUE(other.Errors.isEmpty());
    }
}

TEST_F(RegFile, KeyAndValueDeletions)
{
    Put(kDrv, QStringLiteral("v1"), QStringLiteral("1"));
    Put(kDrv, QStringLiteral("v2"), QStringLiteral("2"));
    Put(kDrv, QString(), QStringLiteral("default"));
    Put(kDrv + QStringLiteral("\\a\\b"), QStringLiteral("deep"), QStringLiteral("x"));
    Put(kDrv + QStringLiteral("\\keep"), QStringLiteral("old"), QStringLiteral("x"));
    const char* const text = R"(REGEDIT4

[-HKEY_CURRENT_USER\Software\DRV\A]
[HKEY_CURRENT_USER\Software\DRV]
"V1"=-
@=-
"absent"=-
[-HKCU\Software\DRV\neverThere]
[-HKCU\Software\DRV\keep]
[HKCU\Software\DRV\keep]
"new"=dword:2
[HKCU\Software\DRV\missing]
"gone"=-
)";
    QStringList errors;
    ASSERT_TRUE(ImportRegFile(WriteRegFile(QByteArray(text)), kDrv, hive, &errors))
        << qPrintable(errors.join(u'\n'));
    EXPECT_FALSE(KeyExists(kDrv + QStringLiteral("\\a")));
    EXPECT_FALSE(Read(kDrv, QStringLiteral("v1")));
    EXPECT_FALSE(Read(kDrv, QString()));
    EXPECT_TRUE(Read(kDrv, QStringLiteral("v2")));
    // Deleted then made again in the same file: only the new value.
    TRegistryHive h(hive, TRegistryHive::ReadOnly);
    EXPECT_EQ(*h.ValueNames(*h.OpenKey(kDrv + QStringLiteral("\\keep"), false)),
              QStringList{QStringLiteral("new")});
    EXPECT_TRUE(KeyExists(kDrv + QStringLiteral("\\missing")));
}

TEST_F(RegFile, KeysOutsideTheAllowedRootAreLeftAlone)
{
    const QString product = QStringLiteral("Software\\Orvalis\\Tessarine");
    Put(product, QStringLiteral("Lang"), QStringLiteral("fr"));
    Put(QStringLiteral("Software\\DRVX"), QStringLiteral("x"), QStringLiteral("1"));
    const char* const text = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Orvalis\Tessarine]
"Lang"="en"
"New"=dword:1
[-HKEY_CURRENT_USER\Software\Orvalis\Tessarine]
[-HKEY_CURRENT_USER\Software]
[-HKEY_CURRENT_USER]
[HKEY_CURRENT_USER\Software\DRVX]
"x"=-
[HKEY_LOCAL_MACHINE\Software\DRV]
"hklm"=dword:1
[HKEY_CURRENT_USER\software\drv\Sub]
"ok"=dword:1
)";
    const TRegFileContent content = TRegFile::Parse(EncodeUtf16LeBom(Crlf(text)));
    ASSERT_EQ(content.Errors.size(), 1);
    EXPECT_TRUE(content.Errors[0].startsWith(QStringLiteral("ligne 11 :")));
    EXPECT_TRUE(content.Errors[0].contains(QStringLiteral("HKEY_LOCAL_MACHINE")));

    TRegApplyResult result;
    {
        TRegistryHive h(hive);
        result = TRegFile::Apply(content, h, kDrv);
    }
    EXPECT_EQ(result.Applied, 2);
    // One message per refused section, none per value.
    ASSERT_EQ(result.Errors.size(), 5) << qPrintable(result.Errors.join(u'\n'));
    EXPECT_TRUE(result.Errors[0].startsWith(QStringLiteral("ligne 3 :")));
    EXPECT_TRUE(result.Errors[0].contains(product));

    Expect(product, QStringLiteral("Lang"), TRegistryHive::REG_SZ,
           StringBytes(QStringLiteral("fr")));
    EXPECT_FALSE(Read(product, QStringLiteral("New")));
    EXPECT_TRUE(Read(QStringLiteral("Software\\DRVX"), QStringLiteral("x")));
    EXPECT_FALSE(Read(kDrv, QStringLiteral("hklm")));
    EXPECT_TRUE(Read(kDrv + QStringLiteral("\\Sub"), QStringLiteral("ok")));

    // The whole import says it was incomplete; nothing at all is allowed without a root.
    QStringList errors;
    EXPECT_FALSE(ImportRegFile(WriteRegFile(EncodeUtf16LeBom(Crlf(text))), kDrv, hive, &errors));
    EXPECT_EQ(errors.size(), 6);
    TRegistryHive h(hive);
    EXPECT_EQ(TRegFile::Apply(content, h, QStringLiteral("\\")).Applied, 0);
}

TEST(RegFileSyntax, FaultyLinesAreReportedAndSkipped)
{
    const char* const text = R"(Windows Registry Editor Version 5.00
"early"=dword:1
[HKEY_CURRENT_USER\Software\DRV
"skipped"=dword:1
[HKEY_CURRENT_USER\Software\DRV]
"a"=dword:123456789
"b"=hex:0g
"c"=hex(2:00
"d"="unterminated
"e"=hex:001,\
  02,03
junk
"f"
"g"="x" trailing
"h"=
"ok"=dword:2
[-HKCU\Software\DRV\gone]
"late"=dword:1
[HKCU\Software\\DRV]
"i"=dword:1
)";
    const TRegFileContent content = TRegFile::Parse(QByteArray(text));
    QList<int> lines;
    for (const QString& e : content.Errors)
        lines << e.section(u' ', 1, 1).toInt();
    EXPECT_EQ(lines, (QList<int>{2, 3, 6, 7, 8, 9, 10, 12, 13, 14, 15, 18, 19}))
        << qPrintable(content.Errors.join(u'\n'));
    EXPECT_EQ(content.Errors[6].toStdString(), "ligne 10 : valeur illisible");
    // Only the good sections and the good value remain.
    EXPECT_EQ(Summary(content).size(), 3);
    EXPECT_TRUE(FindValue(content, QStringLiteral("ok")));
}

TEST(RegFileSyntax, GarbageTruncatedAndBinaryInputsNeverFail)
{
    for (const QByteArray& refused :
         {QByteArray(), QByteArray("[HKEY_CURRENT_USER\\Software\\DRV]\n\"a\"=dword:1\n"),
          QByteArray("REGEDIT5\n"), QByteArray("\xFF\xFE\0", 3), QByteArray(1000, '\0')}) {
        const TRegFileContent c = TRegFile::Parse(refused);
        EXPECT_FALSE(c.Recognised());
        EXPECT_TRUE(c.Operations.isEmpty());
        ASSERT_EQ(c.Errors.size(), 1);
    }

    // Every prefix of real files: cut anywhere, even inside a UTF-16 unit.
    const QByteArray whole = EncodeUtf16LeBom(Crlf(kRegedit5));
    const qsizetype all = TRegFile::Parse(whole).Operations.size();
    for (qsizetype n = 0; n <= whole.size(); ++n)
        EXPECT_LE(TRegFile::Parse(whole.first(n)).Operations.size(), all);

    QRandomGenerator random(12345);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(4000)), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.bounded(256));
        const QByteArray header = round % 2 ? QByteArray("REGEDIT4\n[HKCU\\Software\\DRV]\n")
                                            : EncodeUtf16LeBom(Crlf(kRegedit5));
        TRegFile::Parse(bytes);
        TRegFile::Parse(header + bytes);
    }

    // A flood of bad lines gives a bounded list of messages.
    QByteArray flood("REGEDIT4\n");
    for (int i = 0; i < 100000; ++i)
        flood += "junk\n";
    const TRegFileContent c = TRegFile::Parse(flood);
    ASSERT_EQ(c.Errors.size(), 101);
    EXPECT_EQ(c.Errors.last().toStdString(), "… et 99900 autres erreurs");

    // So does a file of more operations than any settings file holds.
    QByteArray many("REGEDIT4\n[HKCU\\Software\\DRV]\n");
    for (qsizetype i = 0; i < TRegFile::kMaxOperations + 10; ++i)
        many += "@=-\n";
    const TRegFileContent cut = TRegFile::Parse(many);
    EXPECT_EQ(cut.Operations.size(), TRegFile::kMaxOperations);
    ASSERT_EQ(cut.Errors.size(), 1);
    EXPECT_TRUE(cut.Errors[0].startsWith(QStringLiteral("ligne 100002 : plus de 100000")));

    // Keys deeper than Windows allows are refused.
    QByteArray deep("REGEDIT4\n[HKCU");
    for (int i = 0; i < 600; ++i)
        deep += "\\k";
    EXPECT_TRUE(TRegFile::Parse(deep + "]\n\"v\"=dword:1\n").Operations.isEmpty());
}

TEST_F(RegFile, FilesThatCannotBeReadAreRefusedWithoutTouchingTheHive)
{
    QStringList errors;
    EXPECT_FALSE(ImportRegFile(home.File(QStringLiteral("absent.reg")), kDrv, hive, &errors));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("fichier illisible")));

    QByteArray big("REGEDIT4\n");
    big.append(TRegFile::kMaxFileBytes, ';');
    errors.clear();
    EXPECT_FALSE(ImportRegFile(WriteRegFile(big), kDrv, hive, &errors));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("fichier trop grand")));

    EXPECT_FALSE(ImportRegFile(WriteRegFile("not a reg file"), kDrv, hive, &errors));
    EXPECT_FALSE(QFileInfo::exists(hive));
}

TEST_F(RegFile, DeleteRegKeyRemovesEverythingBelowAndAcceptsAbsence)
{
    EXPECT_TRUE(DeleteRegKey(kDrv, hive));
    EXPECT_FALSE(QFileInfo::exists(hive)); // nothing to delete creates no hive

    Put(kDrv + QStringLiteral("\\a\\b"), QStringLiteral("deep"), QStringLiteral("x"));
    Put(kDrv, QStringLiteral("top"), QStringLiteral("x"));
    Put(QStringLiteral("Software\\DRVX"), QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_TRUE(DeleteRegKey(QStringLiteral("HKCU\\software\\drv"), hive));
    EXPECT_FALSE(KeyExists(kDrv));
    EXPECT_FALSE(KeyExists(kDrv + QStringLiteral("\\a\\b")));
    EXPECT_TRUE(KeyExists(QStringLiteral("Software\\DRVX")));
    EXPECT_TRUE(DeleteRegKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\DRV"), hive));

    EXPECT_FALSE(DeleteRegKey(QString(), hive));
    EXPECT_FALSE(DeleteRegKey(QStringLiteral("HKEY_CURRENT_USER"), hive));
    EXPECT_TRUE(KeyExists(QStringLiteral("Software\\DRVX")));
}

} // namespace
