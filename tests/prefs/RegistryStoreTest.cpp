#include "prefs/TDravikPreferences.h"
#include "prefs/TRegPreferencesMan.h"
#include "prefs/TRegistryHive.h"
#include <TestDirs.h>

#include <QProcess>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString kProduct = QStringLiteral("Software\\Orvalis\\Tessarine");

class RegistryStore : public ::testing::Test {
protected:
    TTestConfigHome home;
    QString hive = home.HiveFile();

    // The raw bytes of a value, read straight from the database.
    QByteArray RawData(const QString& aKeyPath, const QString& aName)
    {
        TRegistryHive h(hive, TRegistryHive::ReadOnly);
        const auto key = h.OpenKey(aKeyPath, false);
        if (!key)
            return QByteArray("<no key>");
        const auto v = h.QueryValue(*key, aName);
        return v ? v->Data : QByteArray("<no value>");
    }
};

TEST_F(RegistryStore, StringsKeepTheirExactByteSizes)
{
    TRegPreferencesMan store(kProduct, true, hive);
    ASSERT_TRUE(store.OpenKey(QStringLiteral("ShowForm"), true));
    ASSERT_TRUE(store.WriteString(QStringLiteral("Empty"), QString()));
    ASSERT_TRUE(store.WriteString(QStringLiteral("Name"), QStringLiteral("été")));

    EXPECT_EQ(RawData(kProduct + QStringLiteral("\\ShowForm"), QStringLiteral("Empty")).size(), 1);
    const QByteArray name =
        RawData(kProduct + QStringLiteral("\\ShowForm"), QStringLiteral("Name"));
    EXPECT_EQ(name.size(), 7);
    EXPECT_EQ(name, QByteArray("\xE9\x00t\x00\xE9\x00\x00", 7));

    QString v = QStringLiteral("x");
    ASSERT_TRUE(store.ReadString(QStringLiteral("Empty"), v));
    EXPECT_TRUE(v.isEmpty());
    ASSERT_TRUE(store.ReadString(QStringLiteral("name"), v));
    EXPECT_EQ(v, QStringLiteral("été"));
}

TEST_F(RegistryStore, StringFromAnotherToolWithFullTerminatorReadsWithoutIt)
{
    TRegistryHive raw(hive);
    const auto key = raw.OpenKey(kProduct, true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(raw.SetValue(*key, QStringLiteral("Other"), TRegistryHive::REG_SZ,
                             QByteArray("a\0b\0\0\0", 6)));
    TRegPreferencesMan store(kProduct, true, hive);
    QString v;
    ASSERT_TRUE(store.ReadString(QStringLiteral("Other"), v));
    EXPECT_EQ(v, QStringLiteral("ab"));
}

TEST_F(RegistryStore, TypedValuesAndTheirMismatches)
{
    TRegPreferencesMan store(kProduct, true, hive);
    ASSERT_TRUE(store.WriteInteger(QStringLiteral("Int"), -16777201));
    ASSERT_TRUE(store.WriteFloat(QStringLiteral("Float"), 0.1));
    ASSERT_TRUE(store.WriteBool(QStringLiteral("Bool"), true));
    ASSERT_TRUE(store.WriteString(QStringLiteral("Text"), QStringLiteral("12")));

    qint32 i = 0;
    double f = 0;
    bool b = false;
    EXPECT_TRUE(store.ReadInteger(QStringLiteral("INT"), i));
    EXPECT_EQ(i, -16777201);
    EXPECT_TRUE(store.ReadFloat(QStringLiteral("Float"), f));
    EXPECT_EQ(f, 0.1);
    EXPECT_TRUE(store.ReadBool(QStringLiteral("Bool"), b));
    EXPECT_TRUE(b);
    EXPECT_EQ(RawData(kProduct, QStringLiteral("Bool")), QByteArray("\x01\0\0\0", 4));

    // A value of another type does not read, and leaves the variable alone.
    i = 7;
    EXPECT_FALSE(store.ReadInteger(QStringLiteral("Text"), i));
    EXPECT_EQ(i, 7);
    EXPECT_FALSE(store.ReadFloat(QStringLiteral("Int"), f));
    EXPECT_FALSE(store.ReadInteger(QStringLiteral("Missing"), i));

    // A DWORD other than 0 and 1 answers true but leaves the Boolean as it was.
    ASSERT_TRUE(store.WriteInteger(QStringLiteral("Bool"), 2));
    b = false;
    EXPECT_TRUE(store.ReadBool(QStringLiteral("Bool"), b));
    EXPECT_FALSE(b);
}

TEST_F(RegistryStore, NamesEnumerateInInsertionOrderAndCompareWithoutCase)
{
    TRegPreferencesMan store(kProduct, true, hive);
    store.WriteInteger(QStringLiteral("Zeta"), 1);
    store.WriteInteger(QStringLiteral("alpha"), 2);
    store.WriteInteger(QStringLiteral("Mid"), 3);
    store.WriteInteger(QStringLiteral("ZETA"), 4); // replaces in place, keeps its first spelling
    QStringList names;
    ASSERT_TRUE(store.GetValueNames(names));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Zeta"), QStringLiteral("alpha"),
                                  QStringLiteral("Mid")}));
    qint32 v = 0;
    store.ReadInteger(QStringLiteral("zeta"), v);
    EXPECT_EQ(v, 4);

    ASSERT_TRUE(store.OpenKey(QStringLiteral("ShowForm"), true));
    store.CloseKey();
    ASSERT_TRUE(store.OpenKey(QStringLiteral("ScriptForm"), true));
    store.CloseKey();
    ASSERT_TRUE(store.OpenKey(QStringLiteral("SHOWFORM"), false)); // same key
    EXPECT_EQ(store.CurrentPath(), QStringLiteral("SHOWFORM"));
    store.CloseKey();
    QStringList keys;
    ASSERT_TRUE(store.GetKeyNames(keys));
    EXPECT_EQ(keys, (QStringList{QStringLiteral("ShowForm"), QStringLiteral("ScriptForm")}));
}

TEST_F(RegistryStore, KeysOpenCloseAndFailWithoutCreation)
{
    TRegPreferencesMan store(kProduct, true, hive);
    EXPECT_FALSE(store.OpenKey(QStringLiteral("Nowhere"), false));
    EXPECT_EQ(store.CurrentPath(), QString());
    ASSERT_TRUE(store.OpenKey(QStringLiteral("ShowForm"), true));
    ASSERT_TRUE(store.OpenKey(QStringLiteral("VideoDecoders"), true));
    EXPECT_EQ(store.CurrentPath(), QStringLiteral("ShowForm\\VideoDecoders"));
    ASSERT_TRUE(store.CloseKey());
    EXPECT_EQ(store.CurrentPath(), QStringLiteral("ShowForm"));
    ASSERT_TRUE(store.CloseKey());
    EXPECT_EQ(store.CurrentPath(), QString());
}

TEST_F(RegistryStore, SubKeyDeleteLeavesNoStaleDecoderEntries)
{
    TRegPreferencesMan store(kProduct, true, hive);
    store.OpenKey(QStringLiteral("ShowForm\\VideoDecoders"), true);
    for (int i = 0; i < 3; ++i) {
        store.OpenKey(QStringLiteral("dc%1").arg(i), true);
        store.WriteString(QStringLiteral("name"), QStringLiteral("dec%1").arg(i));
        store.CloseKey();
    }
    store.CloseKey();
    ASSERT_TRUE(store.DeleteKey(QStringLiteral("VideoDecoders")));
    EXPECT_TRUE(store.DeleteKey(QStringLiteral("VideoDecoders"))); // already gone is fine
    QStringList keys;
    store.GetKeyNames(keys);
    EXPECT_TRUE(keys.isEmpty());
    TRegistryHive raw(hive, TRegistryHive::ReadWrite);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM vals WHERE name = 'name'", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST_F(RegistryStore, DeletingTheProductRemovesAnEmptyMakerKeyOnly)
{
    {
        TRegPreferencesMan store(kProduct, true, hive);
        store.WriteInteger(QStringLiteral("x"), 1);
    }
    ASSERT_TRUE(TRegPreferencesMan::DeleteProductKey(kProduct, hive));
    EXPECT_FALSE(TRegistryHive::KeyExists(hive, kProduct));
    EXPECT_FALSE(TRegistryHive::KeyExists(hive, QStringLiteral("Software\\Orvalis")));
    EXPECT_TRUE(TRegistryHive::KeyExists(hive, QStringLiteral("Software")));

    {
        TRegPreferencesMan store(kProduct, true, hive);
        store.WriteInteger(QStringLiteral("x"), 1);
    }
    {
        TRegPreferencesMan other(QStringLiteral("Software\\Orvalis\\Autre"), true, hive);
        other.WriteInteger(QStringLiteral("x"), 1);
    }
    ASSERT_TRUE(TRegPreferencesMan::DeleteProductKey(kProduct, hive));
    EXPECT_TRUE(TRegistryHive::KeyExists(hive, QStringLiteral("Software\\Orvalis\\Autre")));

    // Nothing there at all: nothing to do, and no database is made for it.
    TTestConfigHome empty;
    EXPECT_TRUE(TRegPreferencesMan::DeleteProductKey(kProduct, empty.HiveFile()));
    EXPECT_FALSE(QFile::exists(empty.HiveFile()));
}

TEST_F(RegistryStore, EachWriteIsVisibleAtOnceToAnotherConnection)
{
    TRegPreferencesMan writer(kProduct, true, hive);
    writer.WriteInteger(QStringLiteral("Live"), 42);
    TRegPreferencesMan reader(kProduct, false, hive);
    qint32 v = 0;
    ASSERT_TRUE(reader.ReadInteger(QStringLiteral("Live"), v));
    EXPECT_EQ(v, 42);
}

TEST_F(RegistryStore, TwoProgramsWritingAtOnceLoseNothing)
{
    constexpr int kCount = 150;
    QProcess a, b;
    a.start(QStringLiteral(HIVE_WRITER), {hive, QStringLiteral("A"), QString::number(kCount)});
    b.start(QStringLiteral(HIVE_WRITER), {hive, QStringLiteral("B"), QString::number(kCount)});
    ASSERT_TRUE(a.waitForFinished(60000));
    ASSERT_TRUE(b.waitForFinished(60000));
    EXPECT_EQ(a.exitCode(), 0);
    EXPECT_EQ(b.exitCode(), 0);

    TRegPreferencesMan store(kProduct, false, hive);
    for (const QString& key : {QStringLiteral("A"), QStringLiteral("B")}) {
        ASSERT_TRUE(store.OpenKey(key, false));
        QStringList names;
        store.GetValueNames(names);
        EXPECT_EQ(names.size(), 2 * kCount);
        qint32 last = -1;
        store.ReadInteger(QStringLiteral("v%1").arg(kCount - 1), last);
        EXPECT_EQ(last, kCount - 1);
        store.CloseKey();
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok");
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST_F(RegistryStore, TheHiveViewShowsReadableValues)
{
    TRegPreferencesMan store(kProduct, true, hive);
    store.OpenKey(QStringLiteral("ShowForm"), true);
    store.WriteBool(QStringLiteral("BasculerVue"), true);
    store.WriteString(QStringLiteral("Titre"), QStringLiteral("Été"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT path, name, type, shown FROM hive ORDER BY name", -1,
                                 &s, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                 "Software\\Orvalis\\Tessarine\\ShowForm");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)), "BasculerVue");
    EXPECT_EQ(sqlite3_column_int(s, 2), 4);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)), "1");
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)), "Été");
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST_F(RegistryStore, CompositeValuesRoundTripAndFailWhole)
{
    TRegPreferencesMan store(kProduct, true, hive);
    TFontDesc font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Size = 14;
    font.Color = 0x0000FF;
    font.Bold = true;
    font.StrikeOut = true;
    ASSERT_TRUE(store.WriteFont(QStringLiteral("InsertFont"), font));
    TFontDesc back;
    back.Italic = true; // the style starts empty on reading
    ASSERT_TRUE(store.ReadFont(QStringLiteral("InsertFont"), back));
    EXPECT_EQ(back, font);

    QStringList order;
    store.OpenKey(QStringLiteral("InsertFont"), false);
    store.GetValueNames(order);
    store.CloseKey();
    EXPECT_EQ(order.join(u','), QStringLiteral("Charset,Color,Name,Pitch,PixelsperInch,Size,Bold,"
                                               "Italic,StrikeOut,Underline"));

    const TRect r{1, 2, 3, 4};
    ASSERT_TRUE(store.WriteRect(QStringLiteral("FormSave"), r));
    TRect rb;
    ASSERT_TRUE(store.ReadRect(QStringLiteral("FormSave"), rb));
    EXPECT_EQ(rb, r);
    ASSERT_TRUE(store.WritePoint(QStringLiteral("Pos"), TPoint{-5, 7}));
    TPoint pb;
    ASSERT_TRUE(store.ReadPoint(QStringLiteral("Pos"), pb));
    EXPECT_EQ(pb, (TPoint{-5, 7}));

    // Half a rectangle does not read; the current key is the section again afterwards.
    store.OpenKey(QStringLiteral("Half"), true);
    store.WriteInteger(QStringLiteral("Top"), 9);
    store.CloseKey();
    EXPECT_FALSE(store.ReadRect(QStringLiteral("Half"), rb));
    EXPECT_FALSE(store.ReadRect(QStringLiteral("Never"), rb));
    EXPECT_EQ(store.CurrentPath(), QString());
    store.DeleteValue(QStringLiteral("Pos.Y"));
    EXPECT_FALSE(store.ReadPoint(QStringLiteral("Pos"), pb));
}

} // namespace
