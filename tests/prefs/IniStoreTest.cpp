#include "base/TextDecoding.h"
#include "prefs/TIniPreferencesMan.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class IniStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("Tessarine.ini"));

    void WriteFile(const QByteArray& aBytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(aBytes);
    }
    QByteArray ReadFile()
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Sections(const TIniPreferencesMan& ini)
    {
        QStringList s;
        for (const QString& l : ini.Lines())
            if (l.startsWith(u'['))
                s << l;
        return s;
    }
};

TEST_F(IniStore, WritesUtf16LeWithBomAndCrLf)
{
    {
        TIniPreferencesMan ini(file);
        ini.WriteString(QStringLiteral("Version"), QStringLiteral("Tessarine 0.1 fr de Orvalis"));
        ini.OpenKey(QStringLiteral("ShowForm"), true);
        ini.WriteBool(QStringLiteral("BasculerVue"), true);
        ini.WriteInteger(QStringLiteral("LeftFrame"), -3);
        ini.CloseKey();
    }
    const QByteArray bytes = ReadFile();
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\xFF\xFE"));
    EXPECT_EQ(DecodeText(bytes), QStringLiteral("[]\r\nVersion=Tessarine 0.1 fr de Orvalis\r\n\r\n"
                                                "[ShowForm]\r\nBasculerVue=True\r\n"
                                                "LeftFrame=-3\r\n"));
}

TEST_F(IniStore, ReadsEveryEncoding)
{
    const QString text = QStringLiteral("[]\r\nNom=Château\r\n");
    const QList<QByteArray> forms = {
        EncodeUtf16LeBom(text),
        QByteArray("\xFE\xFF") +
            QByteArray::fromRawData(reinterpret_cast<const char*>(text.utf16()), 0),
        QByteArray("\xEF\xBB\xBF") + text.toUtf8(),
        text.toUtf8(),
        QByteArray("[]\nNom=Ch\xE2teau\n"), // 8-bit
    };
    QByteArray be("\xFE\xFF");
    for (const QChar c : text) {
        be.append(char(c.unicode() >> 8));
        be.append(char(c.unicode() & 0xFF));
    }
    QList<QByteArray> all = forms;
    all[1] = be;
    for (const QByteArray& bytes : all) {
        WriteFile(bytes);
        TIniPreferencesMan ini(file);
        QString v;
        ASSERT_TRUE(ini.ReadString(QStringLiteral("nom"), v)) << bytes.toHex().constData();
        EXPECT_EQ(v, QStringLiteral("Château"));
    }
}

TEST_F(IniStore, BooleansReadOnlyFromTheirExactTexts)
{
    WriteFile("[]\r\nA=True\r\nB=true\r\nC=False\r\nD=1\r\n");
    TIniPreferencesMan ini(file);
    bool v = false;
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("A"), v));
    EXPECT_TRUE(v);
    v = true;
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("B"), v));
    EXPECT_TRUE(v);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("C"), v));
    EXPECT_FALSE(v);
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("D"), v));
}

TEST_F(IniStore, ValuesReplaceInPlaceAndNewOnesEndTheirSection)
{
    TIniPreferencesMan ini(file);
    ini.OpenKey(QStringLiteral("ShowForm"), true);
    ini.WriteInteger(QStringLiteral("A"), 1);
    ini.CloseKey();
    ini.OpenKey(QStringLiteral("ScriptForm"), true);
    ini.WriteInteger(QStringLiteral("X"), 1);
    ini.CloseKey();
    ini.OpenKey(QStringLiteral("showform"), true);
    ini.WriteInteger(QStringLiteral("B"), 2);
    ini.WriteInteger(QStringLiteral("a"), 3);
    EXPECT_EQ(ini.Lines(),
              (QStringList{QStringLiteral("[]"), QString(), QStringLiteral("[ShowForm]"),
                           QStringLiteral("a=3"), QStringLiteral("B=2"), QString(),
                           QStringLiteral("[ScriptForm]"), QStringLiteral("X=1")}));
    QStringList names;
    ini.GetValueNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("a"), QStringLiteral("B")}));
    EXPECT_TRUE(ini.DeleteValue(QStringLiteral("A")));
    EXPECT_FALSE(ini.DeleteValue(QStringLiteral("A")));
}

TEST_F(IniStore, ReadingANeverStoredRectangleLeavesAnEmptySection)
{
    TIniPreferencesMan ini(file);
    ini.OpenKey(QStringLiteral("ShowForm"), true);
    TRect r{1, 1, 1, 1};
    EXPECT_FALSE(ini.ReadRect(QStringLiteral("FormSave"), r));
    EXPECT_EQ(ini.CurrentPath(), QStringLiteral("ShowForm"));
    EXPECT_TRUE(ini.Lines().contains(QStringLiteral("[ShowForm\\FormSave]")));
}

TEST_F(IniStore, FloatsReadBackWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    {
        TIniPreferencesMan ini(file);
        ini.WriteFloat(QStringLiteral("Ratio"), 1.5);
        ini.WriteFloat(QStringLiteral("Small"), 1e-7);
        EXPECT_TRUE(ini.Lines().contains(QStringLiteral("Ratio=1.5")));
    }
    QLocale::setDefault(QLocale::c());
    WriteFile(QByteArray("[]\r\nRatio=1.5\r\nComma=2,25\r\nWord=abc\r\nSmall=1e-07\r\n"));
    TIniPreferencesMan ini(file);
    double v = 0;
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("Ratio"), v));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("Comma"), v));
    EXPECT_EQ(v, 2.25);
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("Small"), v));
    EXPECT_EQ(v, 1e-7);
    v = 9;
    EXPECT_FALSE(ini.ReadFloat(QStringLiteral("Word"), v)); // the caller's default stays
    EXPECT_EQ(v, 9);
    QLocale::setDefault(previous);
}

TEST_F(IniStore, IntegersThatAreNoNumberReadAsZero)
{
    WriteFile("[]\r\nN=abc\r\n");
    TIniPreferencesMan ini(file);
    qint32 v = 5;
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("N"), v));
    EXPECT_EQ(v, 0);
}

TEST_F(IniStore, LineBreaksInValuesCanNeitherCutNorForgeSections)
{
    const QString script = QStringLiteral("begin\r\n  Volume(50);\r\n\r\n[ShowForm]\r\n"
                                          "BasculerVue=True\nend.\r\n");
    const QString quoted = QStringLiteral("\"déjà\" cité \\ fin\"");
    {
        TIniPreferencesMan ini(file);
        ini.OpenKey(QStringLiteral("ScriptForm"), true);
        ini.WriteString(QStringLiteral("Script"), script);
        ini.WriteString(QStringLiteral("Quoted"), quoted);
        ini.WriteString(QStringLiteral("Plain"), QStringLiteral("C:\\temp \"x\""));
        ini.WriteInteger(QStringLiteral("After"), 1);
        EXPECT_TRUE(ini.Lines().contains(QStringLiteral("Plain=C:\\temp \"x\"")));
    }
    TIniPreferencesMan ini(file);
    EXPECT_EQ(Sections(ini), (QStringList{QStringLiteral("[]"), QStringLiteral("[ScriptForm]")}));
    ini.OpenKey(QStringLiteral("ScriptForm"), false);
    QString v;
    ASSERT_TRUE(ini.ReadString(QStringLiteral("Script"), v));
    EXPECT_EQ(v, script);
    ASSERT_TRUE(ini.ReadString(QStringLiteral("Quoted"), v));
    EXPECT_EQ(v, quoted);
    qint32 after = 0;
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("After"), after));
    EXPECT_EQ(after, 1);

    // A hand-written quoted text that is none of ours reads as it stands.
    EXPECT_EQ(TIniPreferencesMan::DecodeValue(QStringLiteral("\"C:\\temp\"")),
              QStringLiteral("\"C:\\temp\""));
    EXPECT_EQ(TIniPreferencesMan::DecodeValue(QStringLiteral("\"a\"b\"")),
              QStringLiteral("\"a\"b\""));
}

TEST_F(IniStore, SubKeysListAndDeleteWithWhatIsBelow)
{
    TIniPreferencesMan ini(file);
    ini.OpenKey(QStringLiteral("ShowForm"), true);
    ini.WriteInteger(QStringLiteral("A"), 1);
    for (const QString& k : {QStringLiteral("VideoDecoders\\dc0"),
                             QStringLiteral("VideoDecoders\\dc1"), QStringLiteral("InsertFont")}) {
        ini.OpenKey(k, true);
        ini.WriteString(QStringLiteral("name"), k);
        ini.CloseKey();
        if (k.contains(u'\\'))
            ini.CloseKey();
    }
    QStringList keys;
    ini.GetKeyNames(keys);
    EXPECT_EQ(keys, (QStringList{QStringLiteral("VideoDecoders"), QStringLiteral("InsertFont")}));
    ASSERT_TRUE(ini.DeleteKey(QStringLiteral("videodecoders")));
    EXPECT_EQ(Sections(ini), (QStringList{QStringLiteral("[]"), QStringLiteral("[ShowForm]"),
                                          QStringLiteral("[ShowForm\\InsertFont]")}));
    qint32 a = 0;
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("A"), a));
    EXPECT_EQ(a, 1);
    keys.clear();
    ini.CloseKey();
    ini.GetKeyNames(keys);
    EXPECT_EQ(keys, QStringList{QStringLiteral("ShowForm")});
}

TEST_F(IniStore, AFileThatCannotBeWrittenIsReported)
{
    // A folder that is a plain file cannot hold the ini file, whoever runs the test.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TIniPreferencesMan ini(blocker + QStringLiteral("/Tessarine.ini"));
    ini.WriteInteger(QStringLiteral("A"), 1);
    EXPECT_FALSE(ini.Flush());
    QFile::remove(blocker);
    QDir(dir.path()).mkdir(QStringLiteral("blocker"));
    EXPECT_TRUE(ini.Flush());
    EXPECT_TRUE(QFile::exists(blocker + QStringLiteral("/Tessarine.ini")));
}

} // namespace
