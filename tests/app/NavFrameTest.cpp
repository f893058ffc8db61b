// The navigation bar under the video: the action each step button applies with and without
// Shift, the scene buttons on a real clip, the hints, the slider's steps and range, and the
// volume gauge, shown only while a sound plays.
#include "FormFixture.h"
#include "SceneClips.h"
#include "TestPrinters.h"
#include "app/Tnavframe.h"

#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "ui/TTextGauge.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace WindowTest;

const char* const kNavIds[] = {
    "naReculeDebut",      "naReculeTrack",   "naRecule10Minutes", "naReculeMinute",
    "naRecule10Secondes", "naReculeSeconde", "naRecule10Frames",  "naReculeFrame",
    "naAvanceFin",        "naAvanceTrack",   "naAvance10Minutes", "naAvanceMinute",
    "naAvance10Secondes", "naAvanceSeconde", "naAvance10Frames",  "naAvanceFrame"};

class NavFrame : public TFormTest {
protected:
    const SceneClips& clips = SceneClips::Get();
    QStringList applied;

    void SetUp() override
    {
        TFormTest::SetUp();
        StartForm();
    }
    Tnavframe* Bar() const { return form->navframe; }
    void Open(const QString& aFile)
    {
        ASSERT_FALSE(aFile.isEmpty()) << "the clip could not be made";
        ASSERT_TRUE(form->openfile(aFile));
        Settle();
    }
    void Record()
    {
        for (const char* id : kNavIds) {
            const QString name = QString::fromLatin1(id);
            Action<TNopeAction>(id)->OnBeforeApply = [this, name] { applied << name; };
        }
    }
    void Click(QToolButton* aButton, bool aShift)
    {
        QTest::mouseClick(aButton, Qt::LeftButton, aShift ? Qt::ShiftModifier : Qt::NoModifier);
        Settle();
    }
    int Shown() const
    {
        QImage image;
        return form->vidman->GetCurrentImage(image) ? StripOf(image) : -2;
    }
};

} // namespace

TEST_F(NavFrame, EachStepButtonAppliesItsActionAndItsShiftVariant)
{
    Open(clips.pal);
    Record();
    const struct {
        QToolButton* button;
        const char* plain;
        const char* shifted;
    } cases[] = {
        {Bar()->ReculeTrackBtn, "naReculeDebut", "naReculeTrack"},
        {Bar()->ReculeHighBtn, "naReculeMinute", "naRecule10Minutes"},
        {Bar()->ReculeMediumBtn, "naReculeSeconde", "naRecule10Secondes"},
        {Bar()->ReculeLowBtn, "naReculeFrame", "naRecule10Frames"},
        {Bar()->AvanceLowBtn, "naAvanceFrame", "naAvance10Frames"},
        {Bar()->AvanceMediumBtn, "naAvanceSeconde", "naAvance10Secondes"},
        {Bar()->AvanceHighBtn, "naAvanceMinute", "naAvance10Minutes"},
        {Bar()->AvanceTrackBtn, "naAvanceFin", "naAvanceTrack"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        applied.clear();
        Click(c.button, false);
        ASSERT_FALSE(applied.isEmpty());
        EXPECT_EQ(applied.first(), QString::fromLatin1(c.plain));
        applied.clear();
        Click(c.button, true);
        ASSERT_FALSE(applied.isEmpty());
        EXPECT_EQ(applied.first(), QString::fromLatin1(c.shifted));
    }
}

TEST_F(NavFrame, StepButtonsMoveThePicture)
{
    Open(clips.pal);
    Click(Bar()->AvanceLowBtn, false);
    EXPECT_EQ(Shown(), 1);
    Click(Bar()->AvanceLowBtn, true);
    EXPECT_EQ(Shown(), 11);
    Click(Bar()->ReculeLowBtn, false);
    EXPECT_EQ(Shown(), 10);
    Click(Bar()->ReculeLowBtn, true);
    EXPECT_EQ(Shown(), 0);
}

TEST_F(NavFrame, TheSceneButtonsNeedShift)
{
    Open(clips.pal);
    Click(Bar()->AvanceTrackBtn, true);
    EXPECT_EQ(Shown(), 10);
    Click(Bar()->AvanceTrackBtn, true);
    EXPECT_EQ(Shown(), 20);
    Click(Bar()->ReculeTrackBtn, true);
    EXPECT_EQ(Shown(), 10);
    Click(Bar()->ReculeTrackBtn, false);
    EXPECT_EQ(Shown(), 0);
    Click(Bar()->AvanceTrackBtn, false); // the end, scenes or not
    const int end = Shown();
    EXPECT_GT(end, 35);
}

TEST_F(NavFrame, ShiftNextSceneWithoutAScenefileGoesToTheEnd)
{
    Open(clips.plain);
    Click(Bar()->AvanceTrackBtn, false);
    const int end = Shown();
    ASSERT_GT(end, 40);
    Click(Bar()->ReculeTrackBtn, false);
    ASSERT_EQ(Shown(), 0);
    Record();
    Click(Bar()->AvanceTrackBtn, true);
    EXPECT_EQ(Shown(), end);
    EXPECT_EQ(applied,
              (QStringList{QStringLiteral("naAvanceTrack"), QStringLiteral("naAvanceFin")}));
    applied.clear();
    Click(Bar()->ReculeTrackBtn, true);
    EXPECT_EQ(Shown(), 0);
    EXPECT_EQ(applied,
              (QStringList{QStringLiteral("naReculeTrack"), QStringLiteral("naReculeDebut")}));
}

TEST_F(NavFrame, HintsAndLook)
{
    const struct {
        QToolButton* button;
        const char* hint;
    } hints[] = {
        {Bar()->ReculeTrackBtn, "Reculer à la scène précédente"},
        {Bar()->ReculeHighBtn, "Reculer d'une minute"},
        {Bar()->ReculeMediumBtn, "Reculer d'une seconde."},
        {Bar()->ReculeLowBtn, "Reculer d'une image."},
        {Bar()->AvanceLowBtn, "Avancer d'une image."},
        {Bar()->AvanceMediumBtn, "Avancer d'une seconde."},
        {Bar()->AvanceHighBtn, "Avancer d'une minute"},
        {Bar()->AvanceTrackBtn, "Avancer à la scène suivante"},
    };
    for (const auto& h : hints)
        EXPECT_EQ(h.button->toolTip(), QString::fromUtf8(h.hint));
    EXPECT_EQ(Bar()->DureeLab->toolTip(), QStringLiteral("Durée de la vidéo courante"));
    TTextGauge* gauge = Bar()->gaugeVolume;
    EXPECT_EQ(gauge->toolTip(),
              QStringLiteral("Volume de la reproduction sonore.\r\nTapez + ou - au "
                             "clavier numérique pour le modifier."));
    EXPECT_EQ(gauge->GaugeKind(), gkNeedle);
    EXPECT_EQ(gauge->BorderStyle(), TTextGauge::bsNone);
    EXPECT_EQ(gauge->TextKind(), tkPercentDone);
    EXPECT_EQ(gauge->Caption(), QStringLiteral("%d"));
    Tnavframe design;
    EXPECT_EQ(design.gaugeVolume->MaxValue(), 10000);
    EXPECT_EQ(design.gaugeVolume->AlertValue(), 11000);
    EXPECT_EQ(design.tb->minimum(), 0);
    EXPECT_EQ(design.tb->maximum(), 1000000);
    EXPECT_EQ(design.CurrentEdit->text(), QStringLiteral("0:00:00:00"));
    EXPECT_EQ(Bar()->tb->pageStep(), 50000);
    // Before any file the range reaches the largest position: the slider stops at int's end.
    EXPECT_EQ(Bar()->tb->maximum(), INT_MAX);
}

TEST_F(NavFrame, TheVolumeGaugeShowsOnlyWithSound)
{
    EXPECT_TRUE(Bar()->gaugeVolume->isHidden());
    Open(clips.wav);
    EXPECT_FALSE(Bar()->isHidden());
    EXPECT_FALSE(Bar()->gaugeVolume->isHidden());
    Open(clips.mute);
    EXPECT_FALSE(Bar()->isHidden());
    EXPECT_TRUE(Bar()->gaugeVolume->isHidden());
    Open(clips.pal);
    EXPECT_FALSE(Bar()->gaugeVolume->isHidden());
    form->closefile();
    Settle();
    EXPECT_TRUE(Bar()->gaugeVolume->isHidden());
}
