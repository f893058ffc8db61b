// Next and previous scene in the main window with real DV clips and the scene files beside
// them: on, between, before and after the scene starts, without scenes, at the NTSC rate, and
// from one video to the next.
#include "FormFixture.h"
#include "SceneClips.h"
#include "TestPrinters.h"

#include "media/TNavMan.h"
#include "media/TVideoMan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

class SceneJump : public TFormTest {
protected:
    const SceneClips& clips = SceneClips::Get();

    void Open(const QString& aFile)
    {
        ASSERT_FALSE(aFile.isEmpty()) << "the clip could not be made";
        if (!form)
            StartForm();
        ASSERT_TRUE(form->openfile(aFile));
        Settle();
    }
    int Shown() const
    {
        QImage image;
        return form->vidman->GetCurrentImage(image) ? StripOf(image) : -2;
    }
    int Next()
    {
        Apply("naAvanceTrack");
        return Shown();
    }
    int Previous()
    {
        Apply("naReculeTrack");
        return Shown();
    }
    void GoTo(int aFrame)
    {
        form->NavMan->SeekTo(aFrame * form->NavMan->FrameDuration());
        Settle();
        ASSERT_EQ(Shown(), aFrame);
    }
    // Where the end command lands: the last frame a seek may reach.
    int EndFrame()
    {
        Apply("naAvanceFin");
        const int end = Shown();
        GoTo(0);
        return end;
    }
};

} // namespace

TEST_F(SceneJump, NextAndPreviousGoFromSceneToScene)
{
    Open(clips.pal);
    ASSERT_EQ(form->Scenes().Count(), 3);
    EXPECT_FALSE(form->scnLab->isHidden());
    const int end = EndFrame();
    ASSERT_GT(end, 35);
    EXPECT_EQ(Next(), 10);
    EXPECT_EQ(Next(), 20); // on a scene start: the following one
    EXPECT_EQ(Next(), 35);
    EXPECT_EQ(Next(), end); // after the last: the end
    EXPECT_EQ(Previous(), 35);
    EXPECT_EQ(Previous(), 20);
    EXPECT_EQ(Previous(), 10); // on a scene start: the one before
    EXPECT_EQ(Previous(), 0);  // before the first: the start
}

TEST_F(SceneJump, BetweenScenes)
{
    Open(clips.pal);
    GoTo(15);
    EXPECT_EQ(Next(), 20);
    GoTo(15);
    EXPECT_EQ(Previous(), 10);
    GoTo(5);
    EXPECT_EQ(Previous(), 0);
    EXPECT_EQ(Next(), 10);
    GoTo(40);
    EXPECT_EQ(Previous(), 35);
}

TEST_F(SceneJump, WithoutAReadableScenefileTheJumpsGoToTheEnds)
{
    // No scene file, then one that cannot be read: its marker still says it is there.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.avi"));
    ASSERT_TRUE(QFile::copy(clips.plain, copy));
    QFile scn(dir.filePath(QStringLiteral("copy.scn")));
    for (const QString& video : {clips.plain, copy}) {
        if (video == copy) {
            ASSERT_TRUE(scn.open(QIODevice::WriteOnly));
            scn.write("\xff\xfe not scenes\n");
            scn.close();
        }
        Open(video);
        EXPECT_TRUE(form->Scenes().IsEmpty());
        EXPECT_EQ(form->scnLab->isHidden(), video == clips.plain);
        const int end = EndFrame();
        GoTo(15);
        EXPECT_EQ(Next(), end);
        EXPECT_EQ(Previous(), 0);
    }
}

TEST_F(SceneJump, AtTheNtscRateASceneStartIsThatScene)
{
    Open(clips.ntsc);
    ASSERT_EQ(form->NavMan->FrameDuration(), 333'667);
    EXPECT_EQ(Next(), 10);
    EXPECT_EQ(Next(), 20);
    EXPECT_EQ(Next(), 33);
    EXPECT_EQ(Previous(), 20);
    EXPECT_EQ(Previous(), 10);
    EXPECT_EQ(Previous(), 0);
}

TEST_F(SceneJump, EachVideoHasItsOwnScenes)
{
    Open(clips.pal);
    EXPECT_EQ(Next(), 10);
    Open(clips.other);
    ASSERT_EQ(form->Scenes().Count(), 2);
    EXPECT_EQ(form->Scenes().At(0)->Path,
              QDir(QFileInfo(clips.other).path()).filePath(QStringLiteral("other.scn")));
    EXPECT_EQ(Next(), 5);
    EXPECT_EQ(Next(), 30);
    Open(clips.plain);
    EXPECT_TRUE(form->Scenes().IsEmpty());
    EXPECT_TRUE(form->scnLab->isHidden());
    const int end = EndFrame();
    EXPECT_EQ(Next(), end);
    Open(clips.pal);
    EXPECT_FALSE(form->scnLab->isHidden());
    EXPECT_EQ(Next(), 10);
}

TEST_F(SceneJump, BeforeAnyVideoTheJumpsDoNoHarm)
{
    StartForm();
    EXPECT_TRUE(form->Scenes().IsEmpty());
    EXPECT_TRUE(form->scnLab->isHidden());
    // No frame duration yet: nothing to divide by, the jump is the plain end command.
    ASSERT_EQ(form->NavMan->FrameDuration(), 0);
    Apply("naAvanceTrack");
    EXPECT_TRUE(form->CurrentVideo().isEmpty());
}

TEST_F(SceneJump, ClosingTheVideoDropsItsScenes)
{
    Open(clips.pal);
    ASSERT_FALSE(form->Scenes().IsEmpty());
    form->closefile();
    Settle();
    EXPECT_TRUE(form->Scenes().IsEmpty());
    EXPECT_TRUE(form->scnLab->isHidden());
}

TEST_F(SceneJump, WithoutFramesTheJumpsGoToTheEnds)
{
    // A sound has no frames (the duration stays the placeholder 1): its scene file gives no
    // jumps.
    Open(clips.wav);
    ASSERT_EQ(form->Scenes().Count(), 2);
    ASSERT_LE(form->NavMan->FrameDuration(), 1);
    Apply("naAvanceFin");
    const qint64 end = form->NavMan->CurrentPosition();
    ASSERT_GT(end, 5'000'000);
    Apply("naReculeDebut");
    Apply("naAvanceTrack");
    EXPECT_NEAR(double(form->NavMan->CurrentPosition()), double(end), 2'000'000.0);
    Apply("naReculeTrack");
    EXPECT_LT(form->NavMan->CurrentPosition(), 2'000'000);
}

TEST_F(SceneJump, ANegativeFrameDurationIsIgnored)
{
    Open(clips.pal);
    ASSERT_EQ(form->NavMan->FrameDuration(), 400'000);
    const qint64 end = form->NavMan->RangeEnd();
    form->NavMan->SetFrameDuration(-400'000);
    form->NavMan->SetFrameDuration(0);
    EXPECT_EQ(form->NavMan->FrameDuration(), 400'000);
    EXPECT_EQ(form->NavMan->RangeEnd(), end);
    EXPECT_EQ(Next(), 10);
}
