// What the user has stored survives a full disk, a read-only disk and a hive that another
// program holds: nothing is written over with defaults or erased on the strength of a read that
// failed, and every failure is told.
#include "ProgramRun.h"

#include "prefs/TIniPreferencesMan.h"
#include "prefs/TRegistryHive.h"
#include <ScratchMount.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kProduct = QStringLiteral("Software\\Orvalis\\Tessarine");

QByteArray ReadAll(const QString& aFile)
{
    QFile f(aFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Another program holding the hive's lock until it is destroyed.
class THiveLocker {
public:
    THiveLocker(const QString& aHive, bool aReadersToo)
    {
        m_process.start(QStringLiteral(HIVE_WRITER),
                        {aHive, aReadersToo ? QStringLiteral("lockall") : QStringLiteral("lock")});
        m_locked = m_process.waitForReadyRead(10000) &&
                   m_process.readLine().trimmed() == QByteArrayLiteral("locked");
    }
    ~THiveLocker()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    bool Locked() const { return m_locked; }

private:
    QProcess m_process;
    bool m_locked = false;
};

class PrefsSafety : public ::testing::Test {
protected:
    TTestConfigHome home;
    TScriptedQuestion question;

    QString IniFile() const { return home.File(QStringLiteral("Tessarine.ini")); }
    // A first run that stored the setting "on" in aMode.
    void StoreSettingOn(TSavePreferences aMode, const QString& aHive = QString())
    {
        TProgramRun run(home, question);
        if (!aHive.isEmpty())
            run.gp.SetHiveFile(aHive);
        run.gp.ApplyMode(aMode);
        run.setting = true;
        ASSERT_TRUE(run.gp.SaveNow());
    }
    bool StoredSetting(const QString& aHive)
    {
        TRegPreferencesMan store(kProduct, false, aHive);
        bool v = false;
        return store.OpenKey(QStringLiteral("ShowForm"), false) &&
               store.ReadBool(QStringLiteral("BasculerVue"), v) && v;
    }
};

TEST_F(PrefsSafety, AFullDiskKeepsTheOldIniFileWholeAndIsReported)
{
    TScratchMount disk(256 * 1024);
    if (!disk.Valid())
        GTEST_SKIP() << TScratchMount::kSkipReason;
    const QString ini = disk.File(QStringLiteral("Tessarine.ini"));
    {
        TIniPreferencesMan store(ini);
        store.OpenKey(QStringLiteral("ShowForm"), true);
        store.WriteBool(QStringLiteral("BasculerVue"), true);
        ASSERT_TRUE(store.Flush());
    }
    const QByteArray before = ReadAll(ini);
    ASSERT_TRUE(disk.Fill());

    // The store alone: a small change (it fits in Qt's buffer) and a large one.
    for (int values : {1, 500}) {
        TIniPreferencesMan store(ini);
        store.OpenKey(QStringLiteral("ShowForm"), true);
        for (int i = 0; i < values; ++i)
            store.WriteString(QStringLiteral("v%1").arg(i), QString(40, u'x'));
        EXPECT_FALSE(store.Flush()) << values;
    }
    EXPECT_EQ(ReadAll(ini), before);

    // The program's close: told, and the file still whole.
    TProgramRun run(home, question);
    run.gp.SetProgramFolder(disk.Path());
    run.Show();
    ASSERT_EQ(run.gp.Mode(), spPortable);
    EXPECT_TRUE(run.setting);
    run.setting = false;
    EXPECT_TRUE(run.Close());
    ASSERT_EQ(question.Warnings.size(), 1);
    EXPECT_TRUE(question.Warnings[0].contains(QStringLiteral("Tessarine.ini")));
    EXPECT_EQ(ReadAll(ini), before);
}

TEST_F(PrefsSafety, AHiveOnAReadOnlyDiskIsReadAndTheFailedSaveIsTold)
{
    TScratchMount disk(4 * 1024 * 1024);
    if (!disk.Valid())
        GTEST_SKIP() << TScratchMount::kSkipReason;
    const QString hive = disk.File(QStringLiteral("registry.sqlite"));
    StoreSettingOn(spRegistre, hive);
    ASSERT_TRUE(disk.RemountReadOnly());

    TProgramRun run(home, question);
    run.gp.SetHiveFile(hive);
    run.Show();
    EXPECT_EQ(run.gp.Mode(), spRegistre); // not "nothing stored": no question at exit
    EXPECT_TRUE(run.setting);
    EXPECT_TRUE(question.Warnings.isEmpty());
    run.setting = false;
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(question.Captions.isEmpty());
    ASSERT_EQ(question.Warnings.size(), 1);
    EXPECT_TRUE(question.Warnings[0].contains(QStringLiteral("registre")));
    EXPECT_TRUE(StoredSetting(hive));
}

TEST_F(PrefsSafety, AWriterHoldingTheHiveDoesNotStopTheLoadAndTheSaveEndsInTime)
{
    StoreSettingOn(spRegistre);
    THiveLocker locker(home.HiveFile(), false);
    ASSERT_TRUE(locker.Locked());

    TProgramRun run(home, question);
    run.gp.SetBusyTimeout(300);
    run.Show();
    EXPECT_EQ(run.gp.Mode(), spRegistre);
    EXPECT_TRUE(run.setting);
    run.setting = false;
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(run.Close());
    EXPECT_LT(clock.elapsed(), 5000); // one wait for the lock, not one per value
    ASSERT_EQ(question.Warnings.size(), 1);
    EXPECT_TRUE(StoredSetting(home.HiveFile()));
}

TEST_F(PrefsSafety, AHiveThatCannotBeReadIsNeverTakenForNothingStored)
{
    StoreSettingOn(spRegistre);
    {
        THiveLocker locker(home.HiveFile(), true);
        ASSERT_TRUE(locker.Locked());
        EXPECT_EQ(TRegistryHive::ProbeKey(home.HiveFile(), kProduct, 200), TRegistryHive::Unknown);

        TProgramRun run(home, question);
        run.gp.SetBusyTimeout(200);
        run.Show();
        EXPECT_TRUE(run.gp.Unreadable());
        EXPECT_FALSE(run.setting); // defaults for this session
        ASSERT_EQ(question.Warnings.size(), 1);
        EXPECT_TRUE(question.Warnings[0].contains(QStringLiteral("registry.sqlite")));

        run.gp.SetMode(spPortable); // would write defaults and erase the registry: refused
        EXPECT_EQ(question.Warnings.size(), 2);
        EXPECT_FALSE(QFile::exists(IniFile()));

        EXPECT_TRUE(run.Close());
        EXPECT_TRUE(question.Captions.isEmpty()); // not asked where to save
        EXPECT_EQ(question.Warnings.size(), 3);
        EXPECT_FALSE(run.steps.contains(QStringLiteral("save")));
    }
    // Once the other program lets go, everything is still there.
    TProgramRun next(home, question);
    next.Show();
    EXPECT_EQ(next.gp.Mode(), spRegistre);
    EXPECT_TRUE(next.setting);
}

TEST_F(PrefsSafety, MovingToAStoreThatCannotBeWrittenKeepsTheOldOne)
{
    StoreSettingOn(spPortable);
    const QByteArray before = ReadAll(IniFile());
    const QString blocker = home.File(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TProgramRun run(home, question);
    run.gp.SetHiveFile(blocker + QStringLiteral("/registry.sqlite")); // no folder can be made
    run.Show();
    QList<TSavePreferences> told;
    run.gp.OnChangeMode = [&](TSavePreferences m) { told << m; };
    run.gp.SetMode(spRegistre);
    EXPECT_EQ(run.gp.Mode(), spPortable);
    EXPECT_EQ(told, QList<TSavePreferences>{spPortable}); // the choice shown goes back
    ASSERT_EQ(question.Warnings.size(), 1);
    EXPECT_TRUE(question.Warnings[0].contains(QStringLiteral("n'a pas changé")));
    EXPECT_EQ(ReadAll(IniFile()), before);

    // At the first exit, a place that fails is told and the question comes back.
    TTestConfigHome fresh;
    TProgramRun first(fresh, question);
    first.gp.SetHiveFile(blocker + QStringLiteral("/registry.sqlite"));
    first.Show();
    question.Answers = {spRegistre, spPortable};
    EXPECT_TRUE(first.Close());
    EXPECT_EQ(question.Captions.size(), 2);
    EXPECT_EQ(first.gp.Mode(), spPortable);
    EXPECT_TRUE(QFile::exists(fresh.File(QStringLiteral("Tessarine.ini"))));
}

} // namespace
