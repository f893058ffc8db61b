// The main window's side of the media engine: opening and closing files, the commands that need
// a video or a sound stream, the full-screen and preview windows, the navigation bar.
#include "app/TFullscreenForms.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "app/Tnavframe.h"

#include "actions/ActionColors.h"
#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "base/TCommandQueue.h"
#include "media/TAudioMan.h"
#include "media/TGraphChunk.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "ui/TTextGauge.h"
#include "ui/UserMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <gst/pbutils/pbutils.h>

#include <exception>

namespace {

// Restores a flag on every way out, exceptions included.
class TFlagScope {
public:
    TFlagScope(bool& aFlag, bool aValue)
        : m_flag(aFlag)
        , m_saved(std::exchange(aFlag, aValue))
    {
    }
    ~TFlagScope() { m_flag = m_saved; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& m_flag;
    bool m_saved;
};

// What a user reads when a file gives neither picture nor sound: what happened, in French;
// GStreamer's own words go to the log.
QString WhyNotOpened(const QString& aName, const TFileDevice* aDevice)
{
    if (!aDevice)
        return QStringLiteral("Le fichier %1 n'est pas d'un type pris en charge.").arg(aName);
    if (aDevice->Valid()) {
        const TPadInfo* pad = aDevice->FindPad(TPadKind::Video, 0);
        if (!pad)
            pad = aDevice->FindPad(TPadKind::Audio, 0);
        if (!pad)
            return QStringLiteral("Aucun flux vidéo ni audio lisible dans %1.").arg(aName);
        TGChars codec(pad->Caps ? gst_pb_utils_get_codec_description(pad->Caps.get()) : nullptr);
        if (codec)
            return QStringLiteral("Aucun décodeur pour %1 (%2).")
                .arg(aName, QString::fromUtf8(codec.get()));
        return QStringLiteral("Aucun décodeur pour %1.").arg(aName);
    }
    switch (aDevice->Failure) {
    case TStreamFailure::Damaged:
    case TStreamFailure::Undecodable:
        return QStringLiteral("Le fichier %1 est endommagé ou incomplet.").arg(aName);
    case TStreamFailure::NoDecoder:
        return QStringLiteral("Aucun décodeur pour %1.").arg(aName);
    case TStreamFailure::Unreadable:
        return QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(aName);
    default:
        return QStringLiteral("Aucun flux vidéo ni audio lisible dans %1.").arg(aName);
    }
}

QString WithExtension(const QString& aFileName, const QString& aExtension)
{
    const QFileInfo info(aFileName);
    return info.dir().filePath(info.completeBaseName() + aExtension);
}

} // namespace

void TShowForm::BindMedia()
{
    caPlay = NavMan->caPlay;
    caFullscreen = vidman->Get<TCheckAction>(QStringLiteral("caFullscreen"));
    caPreviewForm = vidman->Get<TCheckAction>(QStringLiteral("caPreviewForm"));
    NavMan->EditEnabled = true;
    // The reports of the pipeline are commands too: never in the middle of another one.
    NavMan->OnGraphCompleted = [this] {
        TCommandQueue::Instance().Post([this] { NavManGraphCompleted(); });
    };
    NavMan->OnDuration = [this](const QString& aText) { navframe->DureeLab->setText(aText); };
    NavMan->OnError = [this](const QString& aText) {
        TCommandQueue::Instance().Post([this, aText] {
            if (caPlay->Checked())
                caPlay->ApplyChecked(false);
            WarnUser(this, aText);
        });
    };
    // A device the factory frees is let go first by whatever plays from it.
    mf->OnReleaseDevice = [this](TFileDevice* aDevice) {
        const auto from = [aDevice](TavSource* aSource) {
            return aSource && TGraphChunk::RootDevice(aSource) == aDevice;
        };
        if (from(vidman->Source()))
            vidman->DisconnectVideo(true);
        if (from(audman->Source()))
            audman->DisconnectAudio();
    };
    navframe->Bind(NavMan);
    navframe->OnStep = [this](const QString& aId) {
        if (TCustomAbstractAction* a = FindAction(aId))
            a->Execute(navframe);
    };
    const auto playGlyph = [this](bool aPlaying) {
        // The bundled pictures: a desktop without an icon theme still shows them.
        navframe->PlayBtn->setIcon(QIcon(aPlaying
                                             ? QStringLiteral(":/icons/media-playback-pause.png")
                                             : QStringLiteral(":/icons/media-playback-start.png")));
        navframe->PlayBtn->setToolTip(aPlaying ? caPlay->TrueHint() : caPlay->FalseHint());
    };
    playGlyph(false);
    connect(navframe->PlayBtn, &QToolButton::clicked, this, [this] { caPlay->Execute(navframe); });
    caPlay->OnAfterTrueApply = [playGlyph] { playGlyph(true); };
    caPlay->OnAfterFalseApply = [this, playGlyph] {
        playGlyph(false);
        applyeffects();
    };

    vidman->OnNotifyVideoFormat = [this](const QString& aText) {
        labFormatVideo->setText(aText);
        labFormatVideo->setToolTip(aText);
        PlaceSliders();
    };
    vidman->OnNotifyVideoDecoder = [this](const QString& aText) {
        labDecoderVideo->setText(aText);
    };
    audman->OnNotifyAudioFormat = [this](const QString& aText) { labFormatAudio->setText(aText); };
    audman->OnNotifyAudioDecoder = [this](const QString& aText) {
        labDecoderAudio->setText(aText);
    };
    audman->SetDisplay(navframe->VolumeDisplay());
    connect(navframe, &QObject::destroyed, audman, [this] { audman->SetDisplay(nullptr); });

    vidman->OnRepaint = [this] {
        if (vidman->Fullscreen())
            plaque->Panel()->Refresh();
        else if (vidman->PreviewForm())
            PreviewForm->Panel()->Refresh();
        else
            videoPanel->Refresh();
    };
    vidman->OnFullscreen = [this](bool aOn) { ShowFullscreen(aOn); };
    vidman->OnPreviewForm = [this](bool aOn) { ShowPreview(aOn); };
    vidman->SetKeepAspectratio(false);
    plaque->OnClosed = [this] { caFullscreen->SetChecked(false); };
    PreviewForm->OnClosed = [this] { caPreviewForm->SetChecked(false); };
    for (const char* flip : {"caFlipVertical", "caFlipHorizontal"}) {
        auto* a = vidman->Get<TCheckAction>(QString::fromLatin1(flip));
        a->OnAfterTrueApply = [this] { applyeffects(); };
        a->OnAfterFalseApply = [this] { applyeffects(); };
    }
    // A new background shows at once, in full screen too.
    vidman->Get<TColorAction>(QStringLiteral("iaBackColor"))->OnAfterApply =
        [this](const TColor& v) { plaque->SetBackColor(ColorToQColor(v)); };
    caPreviewForm->OnAfterTrueApply = [this] { applyeffects(); };
    caPreviewForm->OnAfterFalseApply = [this] { applyeffects(); };
    // Their shortcuts work in the full-screen and preview windows too.
    for (TCustomKoActionList* list : ShowFormLists())
        for (TCustomAbstractAction* a : list->TypedActions()) {
            plaque->addAction(a->Action());
            PreviewForm->addAction(a->Action());
        }
}

void TShowForm::shortcutsOff()
{
    for (const char* id : {"naIncVolume", "naDecVolume", "caPlay"})
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(id)))
            a->SetShortCut(0);
    if (TCustomAbstractAction* a = FindAction(QStringLiteral("naIncVolume")))
        a->SetSecondaryShortcuts({});
}

void TShowForm::shortcutsOn(bool aPlayToo)
{
    const auto set = [this](const char* aId, const char* aKey) {
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(aId)))
            a->SetShortCut(TextToShortCut(QString::fromLatin1(aKey)));
    };
    set("naIncVolume", "Num +");
    set("naDecVolume", "Num -");
    if (TCustomAbstractAction* a = FindAction(QStringLiteral("naIncVolume")))
        a->SetSecondaryShortcuts({TextToShortCut(QStringLiteral("Alt+P"))});
    if (aPlayToo)
        set("caPlay", "Ctrl+Space");
}

void TShowForm::WatchTextBox(QWidget* aBox)
{
    // While a text box has the focus, typing "+", "-" or a space goes into it.
    aBox->installEventFilter(this);
    m_textBoxes << aBox;
}

bool TShowForm::TextBoxFocus(QObject* aWatched, QEvent* aEvent)
{
    const QEvent::Type type = aEvent->type();
    if ((type != QEvent::FocusIn && type != QEvent::FocusOut) ||
        !m_textBoxes.contains(qobject_cast<QWidget*>(aWatched)))
        return false;
    if (type == QEvent::FocusIn)
        shortcutsOff();
    else
        shortcutsOn(true);
    return false;
}

void TShowForm::applyeffects()
{
    // The text layer is drawn with every paint: a repaint, never a new decode.
    vidman->OnRepaint();
}

void TShowForm::NavManGraphCompleted()
{
    // A seek since has taken the end back.
    if (!NavMan->AtEnd())
        return;
    // A pause on the last frame, nothing more: the next command moves and waits as usual.
    NavMan->CurrentPosition();
    caPlay->ApplyChecked(false);
    NavMan->SettleAtEnd();
}

void TShowForm::ShowFullscreen(bool aOn)
{
    if (aOn) {
        plaque->SetBackColor(ColorToQColor(vidman->BackColor));
        plaque->ShowOn(videoPanel, vidman->HintInterval);
    } else {
        plaque->hide();
    }
    plaque->Panel()->SetActive(aOn);
    videoPanel->SetActive(!aOn && !vidman->PreviewForm());
    PreviewForm->Panel()->SetActive(!aOn && vidman->PreviewForm());
}

void TShowForm::ShowPreview(bool aOn)
{
    if (aOn) {
        const TRect& b = vidman->PreviewBounds;
        if (b.Right > b.Left && b.Bottom > b.Top)
            PreviewForm->setGeometry(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
        PreviewForm->show();
        PreviewForm->raise();
    } else if (PreviewForm->isVisible()) {
        NotePreviewBounds();
        PreviewForm->hide();
    }
    PreviewForm->Panel()->SetActive(aOn && !vidman->Fullscreen());
    videoPanel->SetActive(!aOn && !vidman->Fullscreen());
}

void TShowForm::NotePreviewBounds()
{
    if (!PreviewForm->isVisible())
        return;
    const QRect g = PreviewForm->geometry();
    vidman->PreviewBounds = TRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

bool TShowForm::openfile(const QString& aFileName)
{
    // A run stops first. Of a burst of opens (drops, the recent list, a script) that come while
    // a command waits, only the latest is carried out, once that command is over.
    if (m_ivRunning)
        IntervalStop = true;
    auto ok = std::make_shared<bool>(true);
    TCommandQueue::Instance().Submit([this, aFileName, ok] { *ok = OpenNow(aFileName); },
                                     TCommandQueue::kOpen);
    return *ok;
}

bool TShowForm::OpenNow(const QString& aFileName)
{
    bool hasVideo = false;
    bool hasAudio = false;
    const QString name = QFileInfo(aFileName).fileName();
    LoadVideoScenes(aFileName);
    try {
        TimerSysDate->stop();
        EnCoursLab->setStyleSheet(QStringLiteral("color: #808080"));
        EnCoursLab->setText(QStringLiteral("En train de charger ") + name);
        const bool wasPlaying = caPlay->Checked();
        const TFlagScope quiet(NavMan->QuietMode, true);
        NavMan->Stop();
        {
            const TCommandQueue::TWait wait;
            QCoreApplication::processEvents();
        }
        audman->DisconnectAudio();
        vidman->DisconnectVideo(false);
        vidman->ResetForFile();
        NavMan->NewFile();

        TFileDevice* device = mf->GetDevice(aFileName);
        m_currentVideo = aFileName;
        hasVideo = device && device->VideoCount > 0;
        hasAudio = device && device->AudioCount > 0;
        // The sound first: the video's connection reads the range with both in the graph.
        if (hasAudio)
            hasAudio = audman->ConnectAudio(device->Audio(0));
        if (hasVideo)
            hasVideo = vidman->ConnectVideo(device->Video(0));
        else
            vidman->ShowIdle(TVideoMan::dsNoVideo); // not the last picture of the previous file
        if (hasVideo || hasAudio) {
            NavMan->RemoveUnconnectedFilters();
            NavMan->SetRange(true, -1, -1);
            const TCommandQueue::TWait wait;
            QCoreApplication::processEvents();
            PanelHaut->show();
            navframe->show();
        }
        caPlay->ApplyChecked(wasPlaying && (hasVideo || hasAudio));
    } catch (const std::exception& e) {
        WarnUser(this, QStringLiteral("Ouverture de %1 impossible : %2")
                           .arg(name, QString::fromLocal8Bit(e.what())));
    }
    if (!hasVideo && !hasAudio) {
        // Said where the file's name is shown, without a box: the window stays as it is.
        const QString why = WhyNotOpened(name, mf->GetDevice(aFileName));
        if (TBatchRun::Active())
            TBatchRun::Fail(why);
        EnCoursLab->setStyleSheet(QStringLiteral("color: #800000"));
        EnCoursLab->setText(why);
    }
    // Whatever happened, the commands follow what is connected.
    hasVideo ? EnableVideoCommands() : DisableVideoCommands();
    hasAudio ? EnableAudioCommands() : DisableAudioCommands();
    if (hasVideo || hasAudio) {
        EnCoursLab->setStyleSheet(QStringLiteral("color: #000080"));
        EnCoursLab->setText(name);
    } else {
        navframe->hide(); // nothing to move in: not the last file's length
    }
    // Says the scene file is there, read or not: a user who made one sees it was found.
    scnLab->setVisible(QFileInfo::exists(WithExtension(aFileName, QStringLiteral(".scn"))));
    srtlab->setVisible(QFileInfo::exists(WithExtension(aFileName, QStringLiteral(".srt"))));
    moddlab->setVisible(QFileInfo::exists(aFileName + QStringLiteral(".modd")));
    // The patterns again: their sources follow the new streams and the new name.
    waIncrustPattern1->Apply();
    waIncrustPattern2->Apply();
    LayoutPanels();
    // The number first, so that the name shown is the one the next grab writes; the thumbnail
    // of the previous video goes.
    if (baRAZWhenOpenFile->Value())
        iaNextNum->SetValue(1);
    RefreshImageName();
    ClearThumbnail();
    if (hasVideo && VideoRect.width() > 0 && VideoRect.height() > 0)
        m_savedSize = VideoRect.size();
    PlaceThumbnail();
    UpdateVideoDate();
    UpdateIntervalCount();
    return hasVideo || hasAudio;
}

void TShowForm::closefile()
{
    if (m_ivRunning)
        IntervalStop = true;
    TCommandQueue::Instance().Submit([this] { CloseNow(); }, TCommandQueue::kOpen);
}

void TShowForm::CloseNow()
{
    CloseScenes();
    TimerSysDate->stop();
    EnCoursLab->setStyleSheet(QStringLiteral("color: #808080"));
    EnCoursLab->clear();
    caPlay->ApplyChecked(false);
    NavMan->Stop();
    NavMan->WaitStateSettled();
    audman->DisconnectAudio();
    SetDvReport(false);
    vidman->DisconnectVideo(true);
    m_currentVideo.clear();
    vidman->SetFileName(false, QString());
    PanelHaut->hide();
    navframe->hide();
    DisableVideoCommands();
    DisableAudioCommands();
    ClearThumbnail();
    EnCoursLab->setStyleSheet(QStringLiteral("color: #000080"));
    videoPanel->Refresh();
    UpdateVideoDate();
}

void TShowForm::EnableVideoCommands()
{
    PanelHaut->show();
    PanelHaut->raise();
    for (const char* id : {"caSliders", "caFullscreen", "naGrab", "naCopy", "caIntervalloShow"})
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(id)))
            a->SetEnabled(true);
    ImageLab->show();
}

void TShowForm::DisableVideoCommands()
{
    PanelHaut->hide();
    if (caSliders) {
        caSliders->SetChecked(false);
        caSliders->SetEnabled(false);
    }
    // Full screen stays: it is enabled with the video commands, never disabled with them.
    for (const char* id : {"naGrab", "naCopy", "caIntervalloShow"})
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(id)))
            a->SetEnabled(false);
    ImageLab->hide();
}

void TShowForm::EnableAudioCommands()
{
    navframe->gaugeVolume->show();
    for (const char* id : {"caMute", "naIncVolume", "naDecVolume"})
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(id)))
            a->SetEnabled(true);
}

void TShowForm::DisableAudioCommands()
{
    navframe->gaugeVolume->hide();
    for (const char* id : {"caMute", "naIncVolume", "naDecVolume"})
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(id)))
            a->SetEnabled(false);
}
