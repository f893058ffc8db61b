// Interval capture with real clips of 100 frames: the count, runs every 25 frames and every 2 s
// on DV and on H.264 with B-frames, from the start and from the middle, each image holding the
// frame asked for; the ways a run ends and what it gives back; the command line.
#include "FormFixture.h"
#include "ScratchMount.h"
#include "app/TShowForm.h"
#include "app/Tintervalloframe.h"

#include "actions/MacroState.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "files/TUserQuestions.h"
#include "media/TAudioMan.h"
#include "media/TNavMan.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace WindowTest;
using namespace Qt::StringLiterals;

constexpr int kFrames = 100;
constexpr qint64 kFrame = 400'000;

struct TLongClips {
    static const TLongClips& Get()
    {
        static const TLongClips clips;
        return clips;
    }
    QString dv, mp4;

private:
    TLongClips()
    {
        dv = MediaMaker::DvType2Avi(m_dir.path(), kFrames);
        mp4 = MediaMaker::Mp4H264Aac(m_dir.path(), kFrames);
    }
    QTemporaryDir m_dir;
};

QString Stamped(int aFrame)
{
    return QStringLiteral("Tessarine_0.00.%1.%2.bmp")
        .arg(aFrame / 25, 2, 10, QLatin1Char('0'))
        .arg(aFrame % 25, 2, 10, QLatin1Char('0'));
}

QString Numbered(int aNumber)
{
    return QStringLiteral("Tessarine_%1.bmp").arg(aNumber, 3, 10, QLatin1Char('0'));
}

class Interval : public TFormTest {
protected:
    QTemporaryDir images;
    QString folder;
    // Runs after each image saved, with its rank in the run (1 for the first).
    std::function<void(int)> afterSave;
    QStringList countShown; // the count label at each save of the run

    void TearDown() override
    {
        TFormTest::TearDown();
        TBatchRun::SetActive(false);
        TBatchRun::Reset();
    }
    void Start(const QString& aFile)
    {
        ASSERT_FALSE(aFile.isEmpty());
        StartForm({aFile});
        ASSERT_EQ(form->CurrentVideo(), aFile);
        Action<TNopeAction>("naAjouterNumero")->Apply();
        Int("iaNextNum")->SetValue(1);
        SetFolder(images.path());
        Int("iaVolume")->SetValue(3000);
        Bool("baConfirmerImage")->SetValue(false);
        Int("iaNextNum")->OnAfterApply = [this](const qint32&) {
            if (!form->IntervalRunning())
                return;
            countShown << Frame()->chronolab->text();
            if (afterSave)
                afterSave(int(countShown.size()));
        };
        ASSERT_EQ(form->NavMan->FrameDuration(), kFrame);
        ASSERT_EQ(form->NavMan->TotalDuration(), kFrames * kFrame);
    }
    void SetFolder(const QString& aFolder)
    {
        folder = aFolder;
        Text("waDossierSave")->SetValue(aFolder);
    }
    Tintervalloframe* Frame() { return form->intervalloframe; }
    void Every(int aDelay, int aUnit)
    {
        Int("iaIntervalloDelai")->SetValue(aDelay);
        Int("iaIntervalloUnit")->SetValue(aUnit);
    }
    void ShowBarAt(const char* aPosition)
    {
        form->NavMan->waStrPosition->SetValue(QString::fromLatin1(aPosition));
        Settle();
        Check("caIntervalloShow")->SetChecked(false);
        Check("caIntervalloShow")->SetChecked(true);
    }
    void Run()
    {
        countShown.clear();
        Action<TNopeAction>("naIntervalloStart")->Apply();
        Settle();
    }
    // Later, from the event loop of the run: as a key or a click arrives.
    void Soon(std::function<void()> aWhat) { QTimer::singleShot(0, form.get(), std::move(aWhat)); }
    QStringList Saved() const { return QDir(folder).entryList({QStringLiteral("*.bmp")}); }
    int StripOfFile(const QString& aName) const
    {
        return StripOf(QImage(QDir(folder).filePath(aName)));
    }
    // What every end of a run gives back: the start, paused, the volume, the controls, a count.
    void ExpectIdleAtStart(qint64 aCount)
    {
        EXPECT_FALSE(form->IntervalRunning());
        EXPECT_EQ(form->NavMan->CurrentPosition(), 0);
        EXPECT_FALSE(form->NavMan->caPlay->Checked());
        EXPECT_EQ(form->audman->CurrentVolume(), 3000);
        EXPECT_EQ(Int("iaVolume")->Value(), 3000);
        EXPECT_TRUE(Frame()->RxSpinEdit7->isEnabled());
        EXPECT_TRUE(Frame()->cboxIntervallo->isEnabled());
        EXPECT_FALSE(Frame()->RxSwitch1->isChecked());
        EXPECT_EQ(form->IntervalCount(), aCount);
        EXPECT_EQ(Frame()->chronolab->text(), QString::number(aCount));
    }
};

} // namespace

TEST_F(Interval, TheBarAndItsActions)
{
    Start(TLongClips::Get().dv);
    Tintervalloframe* f = Frame();
    auto* group = f->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Intervallomètre"));
    EXPECT_EQ(group->toolTip(), QStringLiteral("Fixer les valeurs de l'intervallomètre"));
    EXPECT_EQ(f->RxSpinEdit7->minimum(), 1);
    EXPECT_EQ(f->RxSpinEdit7->maximum(), 999999);
    EXPECT_EQ(f->RxSpinEdit7->toolTip(),
              QStringLiteral("Délai entre deux images de l'intervallomètre"));
    ASSERT_EQ(f->cboxIntervallo->count(), 4);
    EXPECT_EQ(f->cboxIntervallo->itemText(0), QStringLiteral("Frames"));
    EXPECT_EQ(f->cboxIntervallo->itemText(1), QStringLiteral("Secondes"));
    EXPECT_EQ(f->cboxIntervallo->itemText(2), QStringLiteral("Minutes"));
    EXPECT_TRUE(f->cboxIntervallo->itemText(3).isEmpty());
    EXPECT_EQ(f->cboxIntervallo->toolTip(),
              QStringLiteral("Unité pour calculer le délai de l'intervallomètre"));
    EXPECT_TRUE(f->RxSwitch1->isCheckable());
    EXPECT_EQ(f->RxSwitch1->toolTip(), QStringLiteral("Basculer l'intervallomètre"));
    EXPECT_EQ(f->chronolab->toolTip(), QStringLiteral("Nombre d'images restant à saisir"));

    auto* show = Check("caIntervalloShow");
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->Action()->shortcut(), QKeySequence(QStringLiteral("Alt+J")));
    EXPECT_EQ(show->Switch, QStringLiteral("swi_si"));
    EXPECT_FALSE(show->IncludePrefs);
    EXPECT_TRUE(show->Enabled());
    auto* delay = Int("iaIntervalloDelai");
    EXPECT_EQ(delay->Hint(),
              QStringLiteral("Délai entre deux images extraites par l'intervallomètre\r\n"
                             "(en unités)"));
    EXPECT_EQ(delay->DefaultValue, 0);
    EXPECT_TRUE(delay->ApplyWhenLoad);
    EXPECT_EQ(Int("iaIntervalloUnit")->Switch, QStringLiteral("swi_iunit"));
    auto* start = Action<TNopeAction>("naIntervalloStart");
    EXPECT_EQ(start->Action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+J")));
    EXPECT_EQ(start->Hint(), QStringLiteral("Lancer l'intervallomètre"));
    auto* stop = Action<TNopeAction>("naIntervalloBreak");
    EXPECT_EQ(stop->Action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+J")));
    EXPECT_EQ(stop->Hint(), QStringLiteral("Interrompre l'intervallomètre"));

    show->SetChecked(true);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(show->Hint(), QStringLiteral("Masquer l'intervallomètre"));
    show->SetChecked(false);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(show->Hint(), QStringLiteral("Afficher l'intervallomètre"));
    form->closefile();
    Settle();
    EXPECT_FALSE(show->Enabled());
}

TEST_F(Interval, TheCountFollowsTheDelayTheUnitAndThePosition)
{
    Start(TLongClips::Get().dv);
    Every(25, 0); // one second
    EXPECT_EQ(form->IntervalCount(), 5);
    EXPECT_EQ(Frame()->chronolab->text(), QStringLiteral("5"));
    // The controls set the actions, and the actions the controls.
    Frame()->RxSpinEdit7->setValue(2);
    EXPECT_EQ(Int("iaIntervalloDelai")->Value(), 2);
    Frame()->cboxIntervallo->setCurrentIndex(1);
    EXPECT_EQ(Int("iaIntervalloUnit")->Value(), 1);
    EXPECT_EQ(form->IntervalCount(), 3);
    Int("iaIntervalloUnit")->SetValue(2);
    EXPECT_EQ(Frame()->cboxIntervallo->currentIndex(), 2);
    EXPECT_EQ(form->IntervalCount(), 1);

    // The delay a run uses is between 1 and 999999, and the box shows it.
    Every(0, 1);
    EXPECT_EQ(Frame()->RxSpinEdit7->value(), 1);
    EXPECT_EQ(form->IntervalPeriod(), 10'000'000);
    EXPECT_EQ(form->IntervalCount(), 5);
    Every(-7, 0);
    EXPECT_EQ(form->IntervalPeriod(), kFrame);
    EXPECT_EQ(form->IntervalCount(), kFrames + 1);
    Every(5'000'000, 2);
    EXPECT_EQ(Frame()->RxSpinEdit7->value(), 999999);
    EXPECT_EQ(form->IntervalPeriod(), 999999 * 600'000'000LL);
    EXPECT_EQ(form->IntervalCount(), 1);

    // No step, no count: the empty unit and any other.
    Every(2, 3);
    EXPECT_EQ(form->IntervalCount(), 0);
    EXPECT_EQ(Frame()->chronolab->text(), QStringLiteral("0"));
    Every(2, 9);
    EXPECT_EQ(form->IntervalCount(), 0);

    // From frame 30: the start is where the bar was shown.
    Every(25, 0);
    ShowBarAt("0:00:01:05");
    EXPECT_EQ(form->IntervalStart() / kFrame, 30);
    EXPECT_EQ(form->IntervalCount(), 3);
}

TEST_F(Interval, ACountInFramesWaitsForTheFrameDurationOfTheFileOpened)
{
    Start(TLongClips::Get().dv);
    Every(50, 0);
    EXPECT_EQ(form->IntervalCount(), 3);
    form->openfile(TLongClips::Get().mp4);
    Settle(300);
    ASSERT_EQ(form->NavMan->FrameDuration(), kFrame);
    EXPECT_EQ(form->IntervalPeriod(), 50 * kFrame);
    EXPECT_EQ(form->IntervalCount(), 3);
}

TEST_F(Interval, EachImageHoldsTheFrameAskedForTheLastOneClampedToTheEnd)
{
    for (const QString& clip : {TLongClips::Get().dv, TLongClips::Get().mp4}) {
        SCOPED_TRACE(clip.toStdString());
        Start(clip);
        const int last = kFrames - 2; // the last frame a precise seek lands on

        // Every 25 frames from the start, numbered.
        Every(25, 0);
        ShowBarAt("0:00:00:00");
        EXPECT_EQ(Frame()->chronolab->text(), QStringLiteral("5"));
        Run();
        const QList<int> frames = {0, 25, 50, 75, last};
        ASSERT_EQ(Saved().size(), frames.size()) << Saved().join(u' ').toStdString();
        for (int i = 0; i < frames.size(); ++i)
            EXPECT_EQ(StripOfFile(Numbered(i + 1)), frames[i]) << i;
        EXPECT_EQ(countShown, (QStringList{u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
        ExpectIdleAtStart(5);

        // Every 2 seconds from frame 13, stamped.
        QTemporaryDir stamped;
        SetFolder(stamped.path());
        Action<TNopeAction>("naAjouterTimeStamp")->Apply();
        Every(2, 1);
        ShowBarAt("0:00:00:13");
        EXPECT_EQ(form->IntervalCount(), 2);
        Run();
        EXPECT_EQ(Saved(), (QStringList{Stamped(13), Stamped(63)}));
        EXPECT_EQ(StripOfFile(Stamped(13)), 13);
        EXPECT_EQ(StripOfFile(Stamped(63)), 63);
        ExpectIdleAtStart(3);

        // Every 2 seconds from the start: the end-clamped image is the last frame, stamped so.
        Run();
        EXPECT_EQ(Saved(),
                  (QStringList{Stamped(0), Stamped(13), Stamped(50), Stamped(63), Stamped(last)}));
        EXPECT_EQ(StripOfFile(Stamped(50)), 50);
        EXPECT_EQ(StripOfFile(Stamped(last)), last);
        ExpectIdleAtStart(3);
        form->close();
        form.reset();
    }
}

TEST_F(Interval, EscTheBreakTheSwitchAndCancelEndTheRunAfterTheCurrentImage)
{
    Start(TLongClips::Get().dv);
    Every(25, 0);
    struct TWay {
        const char* Name;
        std::function<void()> Stop;
        int Saved;
    };
    const TWay ways[] = {
        {"Esc", [this] { Action<TNopeAction>("naAbort")->Action()->trigger(); }, 3},
        {"Ctrl+Shift+J", [this] { Action<TNopeAction>("naIntervalloBreak")->Action()->trigger(); },
         3},
        {"switch", [this] { Frame()->RxSwitch1->click(); }, 3},
    };
    for (const TWay& way : ways) {
        SCOPED_TRACE(way.Name);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        Int("iaNextNum")->SetValue(1);
        afterSave = [&](int aNumber) {
            if (aNumber == 2)
                Soon(way.Stop);
        };
        Run();
        ASSERT_EQ(Saved().size(), way.Saved) << Saved().join(u' ').toStdString();
        for (int i = 0; i < way.Saved; ++i)
            EXPECT_EQ(StripOfFile(Numbered(i + 1)), 25 * i);
        ExpectIdleAtStart(5);
    }

    // Cancel in the overwrite question: the images before are whole, the one there untouched.
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    Int("iaNextNum")->SetValue(1);
    afterSave = nullptr;
    QFile existing(QDir(folder).filePath(Numbered(3)));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    Bool("baConfirmerImage")->SetValue(true);
    questions.Answers = {TAnswer::Cancel};
    Run();
    EXPECT_EQ(questions.Asked.size(), 1);
    EXPECT_EQ(Saved().size(), 3);
    EXPECT_EQ(StripOfFile(Numbered(1)), 0);
    EXPECT_EQ(StripOfFile(Numbered(2)), 25);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("mine"));
    ExpectIdleAtStart(5);
}

TEST_F(Interval, TurningTheSwitchOffIsRecordedDuringTheRun)
{
    Start(TLongClips::Get().dv);
    Every(25, 0);
    afterSave = [this](int aNumber) {
        if (aNumber == 1)
            Soon([this] { Frame()->RxSwitch1->click(); });
    };
    TMacroLineList lines;
    MacroLines = &lines;
    countShown.clear();
    Frame()->RxSwitch1->click();
    MacroLines = nullptr;
    Settle();
    EXPECT_EQ(Saved().size(), 2);
    ASSERT_EQ(lines.Lines.size(), 2) << lines.Lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.Lines[0].contains(QStringLiteral("IntervalloStart")));
    EXPECT_TRUE(lines.Lines[1].contains(QStringLiteral("IntervalloBreak")));
    EXPECT_FALSE(InApply);
    ExpectIdleAtStart(5);
}

TEST_F(Interval, ASecondStartDuringARunChangesNothing)
{
    Start(TLongClips::Get().dv);
    Every(25, 0);
    afterSave = [this](int aNumber) {
        if (aNumber == 2)
            Soon([this] { Action<TNopeAction>("naIntervalloStart")->Action()->trigger(); });
    };
    Run();
    EXPECT_EQ(Saved().size(), 5);
    EXPECT_EQ(countShown, (QStringList{u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
    EXPECT_EQ(Int("iaNextNum")->Value(), 6);
    ExpectIdleAtStart(5);
}

TEST_F(Interval, ARunStartedWhilePlayingPausesThePlayButtonToo)
{
    Start(TLongClips::Get().dv);
    Every(25, 0);
    bool playing = true;
    afterSave = [&](int) { playing = playing && form->NavMan->caPlay->Checked(); };
    form->NavMan->caPlay->ApplyChecked(true);
    Settle(200);
    Run();
    EXPECT_FALSE(playing);
    EXPECT_EQ(Saved().size(), 5);
    ExpectIdleAtStart(5);
}

TEST_F(Interval, AnErrorEndsTheRunAndASaveMeanwhileKeepsTheVolume)
{
    Start(TLongClips::Get().dv);
    Every(25, 0);
    TBatchRun::SetActive(true); // the warning goes to the standard error, not a box
    int volumeDuring = -1;
    afterSave = [&](int aNumber) {
        if (aNumber == 1) {
            volumeDuring = form->audman->CurrentVolume();
            form->gp->SaveNow();
        }
        if (aNumber == 2)
            throw std::runtime_error("disque plein");
    };
    Run();
    EXPECT_EQ(volumeDuring, 0);
    EXPECT_NE(TBatchRun::ExitStatus(), 0);
    EXPECT_EQ(Saved().size(), 2);
    ExpectIdleAtStart(5);
}

TEST_F(Interval, AFolderMadeReadOnlyEndsTheRun)
{
    TScratchMount mount(8 << 20);
    if (!mount.Valid())
        GTEST_SKIP() << TScratchMount::kSkipReason;
    Start(TLongClips::Get().dv);
    SetFolder(mount.Path());
    Every(25, 0);
    TBatchRun::SetActive(true);
    afterSave = [&](int aNumber) {
        if (aNumber == 2) {
            ASSERT_TRUE(mount.RemountReadOnly());
        }
    };
    Run();
    EXPECT_NE(TBatchRun::ExitStatus(), 0);
    // The second image was queued before the folder went read-only: written or not, what is
    // there is whole and in order, and the numbering goes on from the first one missing.
    const QStringList saved = QDir(folder).entryList(QDir::Files);
    ASSERT_GE(saved.size(), 1);
    ASSERT_LE(saved.size(), 2);
    for (int i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(saved[i], Numbered(i + 1));
        EXPECT_EQ(StripOfFile(Numbered(i + 1)), 25 * i);
    }
    EXPECT_EQ(Int("iaNextNum")->Value(), saved.size() + 1);
    ExpectIdleAtStart(5);
}

TEST_F(Interval, NoStepSavesNothing)
{
    Start(TLongClips::Get().dv);
    Every(2, 3);
    Run();
    EXPECT_TRUE(Saved().isEmpty());
    ExpectIdleAtStart(0);
}

TEST_F(Interval, AnOpenACloseOrAQuitDuringARunWaitsForItsEnd)
{
    Start(TLongClips::Get().dv);
    Every(25, 0);
    QTemporaryDir opened, closed, quit;
    SetFolder(opened.path());
    afterSave = [this](int aRank) {
        if (aRank == 1)
            Soon([this] { form->openfile(TLongClips::Get().mp4); });
    };
    Run();
    Settle(300);
    EXPECT_EQ(Saved().size(), 2);
    EXPECT_EQ(form->CurrentVideo(), TLongClips::Get().mp4);
    EXPECT_FALSE(form->IntervalRunning());
    EXPECT_EQ(form->audman->CurrentVolume(), 3000);
    EXPECT_EQ(form->IntervalCount(), 5);

    SetFolder(closed.path());
    afterSave = [this](int aRank) {
        if (aRank == 3)
            Soon([this] { form->closefile(); });
    };
    Run();
    Settle(300);
    EXPECT_EQ(Saved().size(), 4);
    EXPECT_TRUE(form->CurrentVideo().isEmpty());

    form->openfile(TLongClips::Get().dv);
    Settle(300);
    SetFolder(quit.path());
    afterSave = [this](int aRank) {
        if (aRank == 1)
            Soon([this] { form->close(); });
    };
    Run();
    Settle(300);
    EXPECT_EQ(Saved().size(), 2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Int("iaVolume")->Value(), 3000);
}

TEST(IntervalFromTheCommandLine, SwitchesAloneRunItAndTheProgramEnds)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("intervalle"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const TProgramRun run = RunProgram(
        {TLongClips::Get().dv, QStringLiteral("/swi_savfold=") + folder, QStringLiteral("/swi_an"),
         QStringLiteral("/swi_idelai=2"), QStringLiteral("/swi_iunit=1"),
         QStringLiteral("/swi_inter"), QStringLiteral("/quit")},
        dir.path());
    ASSERT_TRUE(run.Finished) << run.Errors.toStdString();
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    const QStringList saved = QDir(folder).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(saved.size(), 3) << saved.join(u' ').toStdString();
    EXPECT_EQ(StripOf(QImage(QDir(folder).filePath(saved[0]))), 0);
    EXPECT_EQ(StripOf(QImage(QDir(folder).filePath(saved[1]))), 50);
    EXPECT_EQ(StripOf(QImage(QDir(folder).filePath(saved[2]))), kFrames - 2);
}
