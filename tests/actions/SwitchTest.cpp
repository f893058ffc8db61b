#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TKoSwitch.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace {

class Switches : public ::testing::Test {
protected:
    TKoSwitch sw;
    TKoActionList list;
    TCheckAction* mute = nullptr;
    TIntegerAction* vol = nullptr;
    TNopeAction* grab = nullptr;
    TWidestringAction* open = nullptr;
    QStringList done;
    int quits = 0;

    void SetUp() override
    {
        mute = TCustomAbstractAction::CreateInternal<TCheckAction>(QStringLiteral("caMute"), &list);
        mute->Switch = QStringLiteral("swi_m");
        vol = TCustomAbstractAction::CreateInternal<TIntegerAction>(QStringLiteral("iaVol"), &list);
        vol->Switch = QStringLiteral("swi_vol");
        vol->SetValue(77);
        grab = TCustomAbstractAction::CreateInternal<TNopeAction>(QStringLiteral("naGrab"), &list);
        grab->Switch = QStringLiteral("swi_g");
        grab->OnInternalApply = [this] { done << QStringLiteral("grab"); };
        open = TCustomAbstractAction::CreateInternal<TWidestringAction>(QStringLiteral("waOpen"),
                                                                        &list);
        open->OnInternalApply = [this](const QString& f) { done << u"open " + f; };
        list.SetSwitch(&sw);
        sw.OnQuit = [this] {
            done << QStringLiteral("quit");
            ++quits;
        };
    }
    void Run(const QStringList& aArgs)
    {
        sw.Arguments = aArgs;
        sw.ProcessCommandLine();
    }
};

TEST_F(Switches, NamesIgnoreCaseAndChecksFollowTheirPrefix)
{
    Run({QStringLiteral("/SWI_M")});
    EXPECT_TRUE(mute->Checked());
    Run({QStringLiteral("/swi_m")});
    EXPECT_FALSE(mute->Checked());
    Run({QStringLiteral("+swi_m=foo")});
    EXPECT_TRUE(mute->Checked());
    Run({QStringLiteral("+swi_m")});
    EXPECT_TRUE(mute->Checked());
    Run({QStringLiteral("-Swi_M")});
    EXPECT_FALSE(mute->Checked());
}

TEST_F(Switches, ValueActionsTakeTheTextAfterTheFirstEqualsWhateverThePrefix)
{
    Run({QStringLiteral("-swi_vol=10")});
    EXPECT_EQ(vol->Value(), 10);
    Run({QStringLiteral("/swi_vol")});
    EXPECT_EQ(vol->Value(), -1);
    Run({QStringLiteral("+swi_vol=3=4")});
    EXPECT_EQ(vol->Value(), -1); // "3=4" is no integer
    Run({QStringLiteral("/swi_vol=25")});
    EXPECT_EQ(vol->Value(), 25);
}

TEST_F(Switches, QuitClosesAfterEveryEntryWhateverItsPlace)
{
    Run({QStringLiteral("/quit"), QStringLiteral("/swi_g")});
    EXPECT_EQ(done, (QStringList{QStringLiteral("grab"), QStringLiteral("quit")}));
}

TEST_F(Switches, QuitAloneOrAfterWhatWasNotUnderstoodStillQuits)
{
    int none = 0;
    sw.OnNoCommandLine = [&](QObject* s) {
        EXPECT_EQ(s, nullptr);
        ++none;
    };
    Run({QStringLiteral("/QUIT")});
    EXPECT_EQ(quits, 1);
    Run({QStringLiteral("/swi_nothing"), QStringLiteral("-quit=now")});
    EXPECT_EQ(quits, 2);
    EXPECT_EQ(none, 0);
    Run({});
    EXPECT_EQ(none, 1);
    EXPECT_EQ(quits, 2); // a later run without "quit" does not quit
}

TEST_F(Switches, EmptyNamesAndBareArgumentsGoToTheDefaultAction)
{
    Run({QStringLiteral("/"), QStringLiteral("/=x"), QStringLiteral("tape.dv")});
    EXPECT_TRUE(done.isEmpty()); // no default action: ignored
    sw.DefaultAction = open;
    Run({QStringLiteral("/"), QStringLiteral("/=x"), QStringLiteral("tape.dv")});
    EXPECT_EQ(done, (QStringList{QStringLiteral("open "), QStringLiteral("open x"),
                                 QStringLiteral("open tape.dv")}));
}

TEST_F(Switches, UnknownNamesAreIgnoredButPathsGoToTheDefaultAction)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tape=1.dv"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    sw.DefaultAction = open;
    // A missing file is still a file: opening it tells the user it is not there.
    Run({QStringLiteral("/swi_nothing=5"), file, QStringLiteral("/no/such/file.dv")});
    EXPECT_EQ(done, (QStringList{u"open " + file, QStringLiteral("open /no/such/file.dv")}));
}

TEST_F(Switches, DisabledActionsAreSkippedAndAnErrorStillQuits)
{
    grab->SetEnabled(false);
    Run({QStringLiteral("/swi_g"), QStringLiteral("/swi_vol=5")});
    EXPECT_TRUE(done.isEmpty());
    EXPECT_EQ(vol->Value(), 5);

    grab->SetEnabled(true);
    grab->OnInternalApply = [] { throw std::runtime_error("grab failed"); };
    QString error;
    sw.OnError = [&](const QString& e) { error = e; };
    Run({QStringLiteral("/swi_g"), QStringLiteral("/swi_vol=6"), QStringLiteral("/quit")});
    EXPECT_EQ(error, QStringLiteral("grab failed"));
    EXPECT_EQ(vol->Value(), 5); // the rest did not run
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(sw.Executing());
}

TEST_F(Switches, EntriesRunWithTheEventLoopTurningBetweenThem)
{
    bool posted = false;
    grab->OnInternalApply = [&] { QTimer::singleShot(0, [&] { posted = true; }); };
    vol->OnInternalApply = [&](const qint32&) {
        EXPECT_TRUE(posted);
        EXPECT_TRUE(sw.Executing());
        EXPECT_EQ(sw.CurrentIndex(), 1);
    };
    Run({QStringLiteral("/swi_g"), QStringLiteral("/swi_vol=1")});
    EXPECT_TRUE(sw.Entries().empty());
}

TEST_F(Switches, TheCommandLineRunsOnceAtTheFirstShowOrActivation)
{
    sw.Arguments = {QStringLiteral("/swi_g")};
    int activations = 0;
    sw.OnActivate = [&](QObject*) { ++activations; };
    sw.MainWindowShown();
    EXPECT_TRUE(done.isEmpty()); // after the show handler, once the loop turns
    QCoreApplication::processEvents();
    EXPECT_EQ(done, QStringList{QStringLiteral("grab")});
    EXPECT_EQ(activations, 1);
    sw.MainWindowShown();
    QCoreApplication::processEvents();
    EXPECT_EQ(done.size(), 1);
    EXPECT_TRUE(sw.Processed());
}

TEST(SwitchArguments, TheProgramArgumentsAreCopiedWithoutTheProgramPath)
{
    char prog[] = "tessarine";
    char a1[] = "+swi_bw";
    char a2[] = "/quit";
    char* argv[] = {prog, a1, a2, nullptr};
    TKoSwitch::SaveProgramArguments(3, argv);
    EXPECT_EQ(TKoSwitch::ProgramArguments(),
              (QStringList{QStringLiteral("+swi_bw"), QStringLiteral("/quit")}));
    TKoSwitch sw;
    EXPECT_EQ(sw.Arguments, TKoSwitch::ProgramArguments());
    TKoSwitch::SaveProgramArguments(1, argv);
}

TEST(SwitchArguments, ABatchRunIsOneThatAsksToQuit)
{
    EXPECT_TRUE(TBatchRun::AsksToQuit({QStringLiteral("/swi_g"), QStringLiteral("+QUIT")}));
    EXPECT_TRUE(TBatchRun::AsksToQuit({QStringLiteral("-quit=1")}));
    EXPECT_FALSE(TBatchRun::AsksToQuit({QStringLiteral("quit"), QStringLiteral("/quitter"),
                                        QStringLiteral("/swi_root=quit"), QStringLiteral("/")}));
}

TEST(SwitchArguments, AFileNameInAnotherEncodingStillReachesTheFile)
{
    QTemporaryDir dir;
    const QByteArray raw = QFile::encodeName(dir.path()) + "/\xe9t\xe9.dv"; // Latin-1 "été.dv"
    {
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "DV", 2), 2);
        ::close(fd);
    }
    for (const QByteArray& arg : {raw, QByteArray("/swi_open=" + raw)}) {
        const QString decoded = TKoSwitch::DecodeArgument(arg);
        const QString path = decoded.mid(decoded.indexOf(u'=') + 1);
        EXPECT_TRUE(path.endsWith(QStringLiteral("/été.dv"))) << qPrintable(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
        EXPECT_EQ(f.readAll(), QByteArray("DV"));
    }
    EXPECT_EQ(TKoSwitch::DecodeArgument("/swi_root=\xc3\xa9t\xc3\xa9"),
              QStringLiteral("/swi_root=été"));
    // Not a file: decoded as well as it can be, nothing made for it.
    EXPECT_FALSE(TKoSwitch::DecodeArgument("/nowhere/\xe9").isEmpty());
    ::unlink(raw.constData()); // Qt cannot see it to clean the folder
}

} // namespace
