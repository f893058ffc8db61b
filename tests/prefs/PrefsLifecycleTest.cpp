#include "ProgramRun.h"

#include "prefs/TIniPreferencesMan.h"
#include "prefs/TRegistryHive.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class PrefsLifecycle : public ::testing::Test {
protected:
    TTestConfigHome home;
    TScriptedQuestion question;
    QString IniFile() const { return home.File(QStringLiteral("Tessarine.ini")); }
    bool RegistryKey() const
    {
        return TRegistryHive::KeyExists(home.HiveFile(),
                                        QStringLiteral("Software\\Orvalis\\Tessarine"));
    }
};

TEST_F(PrefsLifecycle, FirstRunUsesDefaultsAndNoneStoresNothing)
{
    {
        TProgramRun run(home, question);
        run.Show();
        EXPECT_EQ(run.steps, (QStringList{QStringLiteral("show"), QStringLiteral("load")}));
        EXPECT_EQ(run.gp.Mode(), spNone);
        question.Answers = {spNone};
        EXPECT_TRUE(run.Close());
        EXPECT_EQ(question.Captions,
                  QStringList{QStringLiteral("Enregistrement des préférences de Tessarine")});
        EXPECT_FALSE(run.steps.contains(QStringLiteral("save")));
    }
    EXPECT_FALSE(QFile::exists(IniFile()));
    EXPECT_FALSE(RegistryKey());
    TProgramRun next(home, question);
    next.Show();
    next.Close();
    EXPECT_EQ(question.Captions.size(), 2); // asked again
}

TEST_F(PrefsLifecycle, DismissingTheQuestionRefusesTheCloseAndAsksAgain)
{
    TProgramRun run(home, question);
    run.Show();
    EXPECT_FALSE(run.Close());
    // Nothing was torn down for a close that did not happen.
    EXPECT_EQ(run.steps.count(QStringLiteral("closequery")), 0);
    question.Answers = {spRegistre};
    run.setting = true;
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(run.steps.count(QStringLiteral("closequery")), 1);
    EXPECT_TRUE(RegistryKey());
    TProgramRun next(home, question);
    next.Show();
    EXPECT_EQ(next.gp.Mode(), spRegistre);
    EXPECT_TRUE(next.setting);
}

TEST_F(PrefsLifecycle, PortableWritesTheIniFileWithItsRootValuesAndErasesTheRegistry)
{
    {
        TProgramRun first(home, question);
        first.gp.ApplyMode(spRegistre);
        first.gp.SaveNow();
    }
    ASSERT_TRUE(RegistryKey());
    TProgramRun run(home, question);
    run.gp.SetMode(spNone); // nothing stored: the close asks
    run.setting = true;
    question.Answers = {spPortable};
    EXPECT_TRUE(run.Close());
    EXPECT_FALSE(RegistryKey());
    TIniPreferencesMan ini(IniFile());
    EXPECT_EQ(ini.Lines().value(0), QStringLiteral("[]"));
    QString version, saved, exe;
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Version"), version));
    EXPECT_EQ(version, QStringLiteral("Tessarine 0.1.0 fr de Orvalis"));
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Dernière Sauvegarde"), saved));
    EXPECT_EQ(saved.size(), 19);
    EXPECT_EQ(saved.at(2), u'/');
    EXPECT_TRUE(ini.ReadString(QStringLiteral("ExeName"), exe));
    EXPECT_EQ(exe, QCoreApplication::applicationFilePath());
    ini.OpenKey(QStringLiteral("ShowForm"), false);
    bool v = false;
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("BasculerVue"), v));
    EXPECT_TRUE(v);
}

TEST_F(PrefsLifecycle, TheIniFileBeatsTheRegistryAndTheLoadErasesTheKey)
{
    {
        TProgramRun reg(home, question);
        reg.gp.ApplyMode(spRegistre);
        reg.setting = false;
        reg.gp.SaveNow();
    }
    {
        TIniPreferencesMan ini(IniFile());
        ini.OpenKey(QStringLiteral("ShowForm"), true);
        ini.WriteBool(QStringLiteral("BasculerVue"), true);
    }
    TProgramRun run(home, question);
    run.Show();
    EXPECT_EQ(run.gp.Mode(), spPortable);
    EXPECT_TRUE(run.setting);
    EXPECT_FALSE(RegistryKey());
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(question.Captions.isEmpty()); // a mode was found: no question
}

TEST_F(PrefsLifecycle, ChangingTheModeWritesTheNewStoreAtOnce)
{
    TProgramRun run(home, question);
    run.gp.ApplyMode(spPortable);
    run.setting = true;
    run.gp.SaveNow();
    ASSERT_TRUE(QFile::exists(IniFile()));
    run.steps.clear();
    run.gp.SetMode(spRegistre);
    EXPECT_EQ(run.steps, QStringList{QStringLiteral("save")});
    EXPECT_FALSE(QFile::exists(IniFile()));
    // A crash now loses nothing: another run finds the settings in the registry.
    TProgramRun other(home, question);
    other.Show();
    EXPECT_EQ(other.gp.Mode(), spRegistre);
    EXPECT_TRUE(other.setting);

    run.gp.SetMode(spNone); // erases both at once, and the next close asks
    EXPECT_FALSE(RegistryKey());
    EXPECT_FALSE(QFile::exists(IniFile()));
}

TEST_F(PrefsLifecycle, AFolderThatCannotBeWrittenRefusesPortable)
{
    const QString blocker = home.File(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TProgramRun run(home, question);
    run.gp.SetProgramFolder(blocker + u'/');
    EXPECT_FALSE(run.gp.CanWriteProgramFolder());
    QList<TSavePreferences> told;
    run.gp.OnChangeMode = [&](TSavePreferences m) { told << m; };
    run.gp.SetMode(spPortable);
    EXPECT_EQ(run.gp.Mode(), spNone);
    EXPECT_EQ(told, QList<TSavePreferences>{spNone});
    ASSERT_EQ(question.Warnings.size(), 1);
    EXPECT_TRUE(question.Warnings[0].contains(QStringLiteral("accessible en écriture")));

    question.Answers = {spPortable, spRegistre};
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(question.Captions.size(), 2); // asked again after the warning
    EXPECT_EQ(run.gp.Mode(), spRegistre);
    EXPECT_TRUE(RegistryKey());
}

TEST_F(PrefsLifecycle, AFailedIniWriteAtExitIsReported)
{
    TProgramRun run(home, question);
    run.gp.ApplyMode(spPortable);
    run.gp.SetProgramFolder(home.File(QStringLiteral("gone/")));
    run.gp.ApplyMode(spPortable); // the store now points into a folder that does not exist
    EXPECT_TRUE(run.Close());
    ASSERT_EQ(question.Warnings.size(), 1);
    EXPECT_TRUE(question.Warnings[0].contains(QStringLiteral("Tessarine.ini")));
}

} // namespace
