// The main window with real files: opened from the menu, the command line, a drop and the recent
// list; played, paused, muted, louder; closed; damaged files; the last video at the next start.
// Each step leaves a picture of the window in <build>/screenshots.
#include "FakeQuestions.h"
#include "TestPrinters.h"
#include "WindowTestSupport.h"
#include "app/TFullscreenForms.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "app/Tnavframe.h"
#include "ui/TKoAppliMan.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "actions/uWndComponent.h"
#include "files/TFichierMan.h"
#include "media/TAudioMan.h"
#include "media/TDecoderBranch.h"
#include "media/TFilterRec.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"
#include "prefs/TRegistryHive.h"
#include "ui/TTextGauge.h"
#include <TestDirs.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

class OpenPlayClose : public ::testing::Test {
protected:
    TTestConfigHome home;
    TSaveToRegistry answer;
    TFakeQuestions questions;
    std::unique_ptr<TShowForm> form;
    const Clips& clips = Clips::Get();

    void Start(const QStringList& aArgs = {})
    {
        form = std::make_unique<TShowForm>(&answer);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
        form->ficman->SetQuestions(&questions);
        form->am->SwitchComponent()->Arguments = aArgs;
        form->show();
        QCoreApplication::processEvents();
        Settle();
    }
    void Stop()
    {
        form->close();
        form.reset();
    }
    template <class A> A* Action(const char* aId)
    {
        return qobject_cast<A*>(form->FindAction(QString::fromLatin1(aId)));
    }
    int Shown() const
    {
        QImage image;
        return form->vidman->GetCurrentImage(image) ? StripOf(image) : -2;
    }
    void Screenshot(const char* aName) { WindowTest::Screenshot(*form, aName); }
    void Drop(const QString& aFile)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(aFile)});
        const QPointF at(form->videoPanel->width() / 2.0, form->videoPanel->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->videoPanel, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->videoPanel, &drop);
    }
    // A right click over aVideo opens the main window's menu.
    void ExpectContextMenu(QWidget* aVideo)
    {
        const QPoint at(aVideo->width() / 2, aVideo->height() / 2);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, aVideo->mapToGlobal(at));
        QCoreApplication::sendEvent(aVideo, &click);
        Settle(50);
        EXPECT_TRUE(form->PopupMenu->isVisible());
        form->PopupMenu->hide();
    }
    void ExpectOpened(const QString& aFile, int aFrame = 0)
    {
        EXPECT_EQ(form->CurrentVideo(), aFile);
        EXPECT_EQ(form->EnCoursLab->text(), QFileInfo(aFile).fileName());
        EXPECT_FALSE(form->labFormatVideo->text().isEmpty());
        EXPECT_TRUE(form->navframe->isVisible());
        EXPECT_TRUE(Action<TNopeAction>("naGrab") == nullptr ||
                    Action<TNopeAction>("naGrab")->Enabled());
        EXPECT_EQ(Shown(), aFrame) << aFile.toStdString();
    }
};

TEST_F(OpenPlayClose, EveryFormatOpensFromTheMenuTheCommandLineADropAndTheRecentList)
{
    ASSERT_FALSE(clips.mp4.isEmpty() || clips.dv.isEmpty() || clips.mpeg2.isEmpty() ||
                 clips.mkv.isEmpty());
    // A bare argument is a video.
    Start({clips.dv});
    ExpectOpened(clips.dv);
    EXPECT_TRUE(Action<TCheckAction>("caMute")->Enabled());
    Screenshot("open-dv-command-line");

    questions.FileAnswers << clips.mp4;
    form->ficman->waOpenFile->Action()->trigger(); // as the menu does
    Settle();
    ExpectOpened(clips.mp4);
    EXPECT_EQ(questions.FileRequests.constFirst().Title,
              QStringLiteral("Sélectionnez le fichier à ouvrir"));
    Screenshot("open-mp4-menu");

    Drop(clips.mpeg2);
    Settle(300);
    ExpectOpened(clips.mpeg2);
    // Its times start at 0.5 s; its first frame reads 0.
    EXPECT_EQ(form->navframe->CurrentEdit->text(), QStringLiteral("0:00:00:00"));
    Screenshot("open-mpeg2-drop");

    form->ficman->OpenFile(clips.mkv);
    Settle();
    ExpectOpened(clips.mkv);
    form->ficman->OpenFile(clips.mp4);
    Settle();
    // Most recent first: mp4, mkv, mpeg2, ...
    EXPECT_EQ(form->ficman->RecentFiles().mid(0, 3),
              (QStringList{clips.mp4, clips.mkv, clips.mpeg2}));
    form->ficman->naRecent[1]->Action()->trigger();
    Settle();
    ExpectOpened(clips.mkv);
    Screenshot("open-mkv-recent");
}

TEST_F(OpenPlayClose, PlayPauseMuteVolumeThenClose)
{
    Start({clips.mp4});
    ExpectOpened(clips.mp4);
    auto* play = Action<TCheckAction>("caPlay");
    play->ApplyChecked(true);
    Settle(400);
    play->ApplyChecked(false);
    Settle();
    const int paused = Shown();
    EXPECT_GT(paused, 0);
    Settle(200);
    EXPECT_EQ(Shown(), paused); // paused stays paused
    Screenshot("paused");

    auto* mute = Action<TCheckAction>("caMute");
    mute->ApplyChecked(true);
    EXPECT_TRUE(form->audman->Muted());
    mute->ApplyChecked(false);
    EXPECT_FALSE(form->audman->Muted());
    const int before = form->navframe->gaugeVolume->Progress();
    Action<TNopeAction>("naIncVolume")->Apply();
    EXPECT_GT(form->navframe->gaugeVolume->Progress(), before);
    EXPECT_TRUE(form->navframe->gaugeVolume->isVisible());

    Action<TNopeAction>("naCloseFile")->Apply();
    Settle();
    EXPECT_TRUE(form->CurrentVideo().isEmpty());
    EXPECT_FALSE(form->navframe->isVisible());
    EXPECT_FALSE(Action<TCheckAction>("caMute")->Enabled());
    EXPECT_TRUE(form->EnCoursLab->text().isEmpty());
    Screenshot("closed");
}

TEST_F(OpenPlayClose, DamagedAndOddFilesNeverHangAndLeaveTheRightCommands)
{
    QTemporaryDir dir;
    const QString truncated = MediaMaker::Truncated(clips.dv, QFileInfo(clips.dv).size() / 3,
                                                    QStringLiteral("coupé.avi"));
    const QString empty = dir.filePath(QStringLiteral("vide.mkv"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString text = dir.filePath(QStringLiteral("pas une vidéo #1 100%.avi"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ceci n'est pas une vidéo\n");
    }
    Start();
    for (const QString& file : {empty, text}) {
        QElapsedTimer t;
        t.start();
        form->ficman->OpenFile(file);
        Settle();
        EXPECT_LT(t.elapsed(), 20000) << file.toStdString();
        EXPECT_EQ(form->vidman->DisplayState(), TVideoMan::dsNoVideo) << file.toStdString();
        EXPECT_FALSE(Action<TCheckAction>("caMute")->Enabled());
        // What happened, in French, without GStreamer's words.
        EXPECT_EQ(form->EnCoursLab->text(),
                  QStringLiteral("Le fichier %1 est endommagé ou incomplet.")
                      .arg(QFileInfo(file).fileName()));
        EXPECT_FALSE(form->navframe->isVisible());
    }
    Screenshot("not-a-video");

    form->ficman->OpenFile(truncated);
    Settle();
    ExpectOpened(truncated);
    Action<TNopeAction>("naAvanceFin")->Apply();
    Settle();
    EXPECT_GT(Shown(), 0);
    Screenshot("truncated-at-end");

    // Sound only, under a video's name (the content decides): the sound commands, not the
    // picture's.
    const QString sound = dir.filePath(QStringLiteral("son.avi"));
    ASSERT_TRUE(QFile::copy(clips.wav, sound));
    form->ficman->OpenFile(sound);
    Settle();
    EXPECT_EQ(form->CurrentVideo(), sound);
    EXPECT_TRUE(Action<TCheckAction>("caMute")->Enabled());
    EXPECT_FALSE(form->PanelHaut->isVisible());
    EXPECT_EQ(form->vidman->DisplayState(), TVideoMan::dsNoVideo); // not the last picture
    EXPECT_EQ(form->navframe->CurrentEdit->text(), QStringLiteral("0:00:00:00"));
    EXPECT_TRUE(form->navframe->isVisible());
    Screenshot("audio-only");
}

TEST_F(OpenPlayClose, TheLastVideoReopensOnlyWhenAsked)
{
    Start({clips.mkv});
    ExpectOpened(clips.mkv);
    Stop();
    Start();
    EXPECT_EQ(form->CurrentVideo(), clips.mkv);
    Action<TBooleanAction>("baOpenLastFile")->SetValue(false);
    Stop();
    Start();
    EXPECT_TRUE(form->CurrentVideo().isEmpty());
    EXPECT_EQ(form->ficman->RecentFiles().constFirst(), clips.mkv);
}

} // namespace

namespace {

TEST_F(OpenPlayClose, PrivateSetsFillTheSlotsKeepTheVideoAndLeaveNoKeysAtExit)
{
    Start({clips.mp4});
    ExpectOpened(clips.mp4);
    Action<TWidestringAction>("waPrivateFolder")->SetValue(QStringLiteral(TESS_PRIVATE_SET_DIR));
    Settle();
    const TDecoderBranch& video = form->vidman->Branch();
    ASSERT_NE(video.SecondChance, nullptr);
    EXPECT_EQ(video.SecondChance->Name, QStringLiteral("Private LAV Video Decoder"));
    EXPECT_EQ(video.Fallback, video.PostProcessor);
    EXPECT_EQ(TRegistryHive::ProbeKey(home.HiveFile(), QStringLiteral("Software\\ZUD")),
              TRegistryHive::Exists);
    // The video was closed for the switch and is back.
    ExpectOpened(clips.mp4);

    Action<TBooleanAction>("baUsePrivateFilters")->SetValue(false);
    Settle();
    EXPECT_EQ(video.SecondChance, nullptr);
    EXPECT_EQ(video.PostProcessor, nullptr);
    ExpectOpened(clips.mp4);
    Action<TBooleanAction>("baUsePrivateFilters")->SetValue(true);
    Settle();
    EXPECT_NE(video.SecondChance, nullptr);

    Stop();
    for (const char* key : {"Software\\ZUD", "Software\\DRV"})
        EXPECT_EQ(TRegistryHive::ProbeKey(home.HiveFile(), QString::fromLatin1(key)),
                  TRegistryHive::Missing)
            << key;
}

} // namespace

namespace {

// The frame as a widget shows it: its pixels inside the rectangle the picture takes.
int ShownBy(TVideoPanel* aPanel, const TVideoMan& aVideo)
{
    const QImage all = aPanel->grab().toImage();
    const QRect picture = aVideo.VideoRect(aPanel->rect());
    return StripOf(all.copy(picture));
}

TEST_F(OpenPlayClose, TheVideoPanelFullScreenAndPreviewEachShowTheFrameAndTheMenu)
{
    Start({clips.dv});
    ExpectOpened(clips.dv);
    form->resize(1400, 1000); // the strip's blocks stay wide enough to read
    Settle();
    Action<TNopeAction>("naAvanceFrame")->Apply();
    Settle();
    ASSERT_EQ(Shown(), 1);
    EXPECT_EQ(ShownBy(form->videoPanel, *form->vidman), 1);

    auto* full = Action<TCheckAction>("caFullscreen");
    full->ApplyChecked(true);
    Settle();
    EXPECT_TRUE(form->plaque->isVisible());
    EXPECT_EQ(ShownBy(form->plaque->Panel(), *form->vidman), 1);
    ExpectContextMenu(form->plaque->Panel());
    Screenshot("fullscreen");
    full->ApplyChecked(false);
    Settle();
    EXPECT_FALSE(form->plaque->isVisible());

    auto* preview = Action<TCheckAction>("caPreviewForm");
    preview->ApplyChecked(true);
    Settle();
    EXPECT_TRUE(form->PreviewForm->isVisible());
    EXPECT_EQ(ShownBy(form->PreviewForm->Panel(), *form->vidman), 1);
    ExpectContextMenu(form->PreviewForm->Panel());
    preview->ApplyChecked(false);
    Settle();
    EXPECT_FALSE(form->PreviewForm->isVisible());
    EXPECT_EQ(ShownBy(form->videoPanel, *form->vidman), 1);
}

} // namespace
