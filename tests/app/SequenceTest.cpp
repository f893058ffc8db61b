// What a person does next: play to the end and keep stepping, grab and run the interval; press a
// key or close the window while a seek waits; quit with the preview open and start again; a
// remembered decoder for the video reopened at start; the position text of an MPEG program
// stream's first frame; the jump to the end from the command line.
#include "FormFixture.h"
#include "app/TFullscreenForms.h"
#include "app/TShowForm.h"
#include "app/Tnavframe.h"

#include "base/TCommandQueue.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

struct TSequenceClips {
    static const TSequenceClips& Get()
    {
        static const TSequenceClips clips;
        return clips;
    }
    // 150 frames of H.264 with B-frames, a key frame every 2 s; and one with a single key frame.
    QString longGop, oneKey;

private:
    TSequenceClips()
    {
        longGop = MediaMaker::H264LongGop(m_dir.path(), 150, 50);
        oneKey = MediaMaker::H264LongGop(m_dir.path(), 150, 1000, QStringLiteral("onekey.mp4"));
    }
    QTemporaryDir m_dir;
};

class Sequence : public TFormTest {
protected:
    QTemporaryDir images;

    void Open(const QString& aFile)
    {
        ASSERT_FALSE(aFile.isEmpty());
        StartForm({aFile});
        ASSERT_EQ(form->CurrentVideo(), aFile);
        Apply("naAjouterNumero");
        Int("iaNextNum")->SetValue(1);
        Text("waDossierSave")->SetValue(images.path());
        Bool("baConfirmerImage")->SetValue(false);
    }
    // As from the keyboard: through the action's menu item, then until nothing is left to run.
    void Key(const char* aId)
    {
        Action<TCustomAbstractAction>(aId)->Action()->trigger();
        Idle();
    }
    void Idle()
    {
        for (int i = 0; i < 500 && !TCommandQueue::Instance().Idle(); ++i)
            Settle(10);
        Settle(50);
    }
    int Shown() const
    {
        QImage image;
        return form->vidman->GetCurrentImage(image) ? StripOf(image) : -2;
    }
    QList<int> SavedFrames() const
    {
        QList<int> frames;
        const QDir dir(images.path());
        for (const QString& name : dir.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name))
            frames << StripOf(QImage(dir.filePath(name)));
        return frames;
    }
    void PlayToTheEnd()
    {
        Key("caPlay");
        for (int i = 0; i < 800 && form->NavMan->caPlay->Checked(); ++i)
            Settle(10);
        Idle();
        ASSERT_FALSE(form->NavMan->caPlay->Checked());
    }
};

} // namespace

TEST_F(Sequence, AfterPlayingToTheEndStepsGrabsAndRunsStillMove)
{
    Open(TSequenceClips::Get().longGop);
    form->NavMan->waStrPosition->SetValue(QStringLiteral("0:00:05:15")); // frame 140
    PlayToTheEnd();
    EXPECT_EQ(Shown(), 149);
    for (int i = 0; i < 2; ++i) {
        Key("naReculeFrame");
        Key("naGrab");
    }
    EXPECT_EQ(SavedFrames(), (QList<int>{148, 147}));

    // Played to the end again, back to the start: a run grabs distinct, exact frames.
    PlayToTheEnd();
    Key("naReculeDebut");
    EXPECT_EQ(Shown(), 0);
    Int("iaIntervalloDelai")->SetValue(50);
    Int("iaIntervalloUnit")->SetValue(0);
    Key("naIntervalloStart");
    EXPECT_EQ(SavedFrames(), (QList<int>{148, 147, 0, 50, 100, 148}));
}

TEST_F(Sequence, ACommandThatComesWhileASeekWaitsRunsAfterIt)
{
    Open(Clips::Get().mp4);
    // A key, then a typed position that lands before it: the step comes during the seek's
    // wait, and runs once the seek is over.
    QTimer::singleShot(0, form.get(), [this] {
        Action<TCustomAbstractAction>("naAvanceFrame")->Action()->trigger();
    });
    form->NavMan->waStrPosition->SetValue(QStringLiteral("0:00:00:20"));
    EXPECT_EQ(Shown(), 20);
    Idle();
    EXPECT_EQ(Shown(), 21);
    EXPECT_EQ(form->navframe->CurrentEdit->text(), QStringLiteral("0:00:00:21"));

    // Closing the window during a seek stops the seek, and closes the window once it is over.
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    form->NavMan->waStrPosition->SetValue(QStringLiteral("0:00:00:05"));
    EXPECT_TRUE(form->isVisible());
    Idle();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Sequence, FromTheCommandLineTheEndIsTheLastFrameAndARecoveredErrorIsNoFailure)
{
    // A file with one key frame; an MPEG program stream whose decoder fails on a seek into its
    // last pictures, and is started again.
    const struct {
        QString file;
        const char* move;
        int frame;
    } runs[] = {{TSequenceClips::Get().oneKey, "/swi_end", 149},
                {Clips::Get().mpeg2, "/swi_StrPos=0:00:00:22", 22}};
    for (const auto& r : runs) {
        QTemporaryDir dir;
        const TProgramRun run = RunProgram(
            {r.file, QStringLiteral("/swi_savfold=") + dir.path(), QStringLiteral("/swi_root=R"),
             QStringLiteral("/swi_an"), QStringLiteral("/swi_n=1"), QString::fromLatin1(r.move),
             QStringLiteral("/swi_g"), QStringLiteral("/quit")},
            dir.path());
        ASSERT_TRUE(run.Finished) << run.Errors.toStdString();
        EXPECT_EQ(run.ExitCode, 0) << r.move << run.Errors.toStdString();
        EXPECT_EQ(StripOf(QImage(QDir(dir.path()).filePath(QStringLiteral("R_001.bmp")))),
                  r.frame)
            << r.move;
    }
}

TEST_F(Sequence, TheFirstFrameOfAProgramStreamTellsItsPositionAtOnce)
{
    // Its first frame sits half a second into the stream.
    Open(Clips::Get().mpeg2);
    Text("waIncrustPattern1")->SetValue(QStringLiteral("%S"));
    Check("caInsertTextOn")->SetChecked(true);
    form->closefile();
    form->openfile(Clips::Get().mpeg2);
    Idle();
    EXPECT_EQ(form->vidman->ComposeLine(0), QStringLiteral("0:00:00:00"));
    EXPECT_EQ(form->navframe->CurrentEdit->text(), QStringLiteral("0:00:00:00"));
}

TEST_F(Sequence, QuittingKeepsThePreviewsPlaceAndTheDecoderChosenServesTheNextStart)
{
    const QString clip = Clips::Get().mpeg2;
    Open(clip);
    const QString first = form->vidman->Branch().Found();
    Key("naNextDecoderVideo");
    const QString next = form->vidman->Branch().Found();
    ASSERT_NE(next, first) << "one MPEG-2 decoder only";
    Check("caPreviewForm")->SetChecked(true);
    Settle();
    form->PreviewForm->setGeometry(130, 140, 400, 300);
    Settle();
    const QRect placed = form->PreviewForm->geometry();
    form->close();
    form.reset();

    // The last video reopens at start, through the decoder remembered for its stream.
    StartForm();
    ASSERT_EQ(form->CurrentVideo(), clip);
    EXPECT_EQ(form->vidman->Branch().Found(), next);
    const TRect b = form->vidman->PreviewBounds;
    EXPECT_EQ(QRect(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top), placed);
}
