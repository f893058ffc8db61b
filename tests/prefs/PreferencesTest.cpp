#include "prefs/TDravikPreferences.h"
#include "prefs/TRegistryHive.h"
#include <TestDirs.h>

#include <QFile>

#include <gtest/gtest.h>

namespace {

class Preferences : public ::testing::Test {
protected:
    TTestConfigHome home;
    TDravikPreferences gp;
    void SetUp() override
    {
        gp.SetProgramFolder(home.Path());
        gp.SetHiveFile(home.HiveFile());
    }
    bool RegistryKeyExists() const
    {
        return TRegistryHive::KeyExists(home.HiveFile(), gp.ProductKeyPath());
    }
};

TEST_F(Preferences, NoneModeGivesDefaultsAndStoresNothing)
{
    EXPECT_EQ(gp.Mode(), spNone);
    EXPECT_FALSE(gp.OpenSection(QStringLiteral("ShowForm")));
    EXPECT_FALSE(gp.WriteInteger(QStringLiteral("A"), 1));
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("A"), 7), 7);
    EXPECT_EQ(gp.ReadRect(QStringLiteral("R"), TRect{1, 2, 3, 4}), (TRect{1, 2, 3, 4}));
    TFontDesc f;
    TFontDesc def;
    def.Name = QStringLiteral("Arial");
    gp.ReadFont(QStringLiteral("F"), def, f);
    EXPECT_EQ(f, def);
    EXPECT_EQ(gp.DetectMode(), spNone);
    EXPECT_FALSE(QFile::exists(home.HiveFile()));
}

TEST_F(Preferences, ReadsFallBackToDefaultsWholeWhenTheStoreFails)
{
    gp.ApplyMode(spRegistre);
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
    gp.WriteString(QStringLiteral("Name"), QStringLiteral("x"));
    gp.Store().OpenKey(QStringLiteral("Half"), true);
    gp.Store().WriteInteger(QStringLiteral("Top"), 5);
    gp.Store().CloseKey();
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("Name"), 3), 3); // wrong type
    EXPECT_EQ(gp.ReadRect(QStringLiteral("Half"), TRect{9, 9, 9, 9}), (TRect{9, 9, 9, 9}));
    EXPECT_EQ(gp.ReadString(QStringLiteral("Name"), QString()), QStringLiteral("x"));
    gp.CloseSection();
}

TEST_F(Preferences, DetectionPrefersTheIniFileAndApplyingAModeErasesTheOthers)
{
    gp.ApplyMode(spRegistre);
    gp.WriteString(QStringLiteral("Version"), QStringLiteral("v"));
    EXPECT_EQ(gp.DetectMode(), spRegistre);
    {
        QFile ini(gp.IniFileName());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[]\r\n");
    }
    EXPECT_EQ(gp.DetectMode(), spPortable);

    TSavePreferences told = spNone;
    gp.OnChangeMode = [&](TSavePreferences m) { told = m; };
    gp.ApplyMode(*gp.DetectMode());
    EXPECT_EQ(told, spPortable);
    EXPECT_FALSE(RegistryKeyExists());
    EXPECT_TRUE(QFile::exists(gp.IniFileName()));

    gp.SetMode(spNone);
    EXPECT_FALSE(QFile::exists(gp.IniFileName()));
    EXPECT_FALSE(RegistryKeyExists());
    EXPECT_EQ(gp.DetectMode(), spNone);
}

TEST_F(Preferences, SettingTheCurrentModeDoesNothing)
{
    int changes = 0;
    gp.OnChangeMode = [&](TSavePreferences) { ++changes; };
    gp.SetMode(spNone);
    EXPECT_EQ(changes, 0);
    gp.SetMode(spPortable);
    gp.SetMode(spPortable);
    EXPECT_EQ(changes, 1);
}

TEST_F(Preferences, TheIniStoreWritesItsFileWhenTheModeChangesAway)
{
    gp.ApplyMode(spPortable);
    gp.OpenSection(QStringLiteral("ShowForm"));
    gp.WriteBool(QStringLiteral("BasculerVue"), true);
    gp.CloseSection();
    gp.ApplyMode(spPortable); // frees the old store, which writes, then reads it again
    gp.OpenSection(QStringLiteral("ShowForm"));
    EXPECT_TRUE(gp.ReadBool(QStringLiteral("BasculerVue"), false));
}

} // namespace
