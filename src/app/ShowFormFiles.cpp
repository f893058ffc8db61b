// The main window's file manager: which files open as videos, and what opening and closing do.
#include "app/ShowFormFiles.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "ui/TKoAppliMan.h"

#include "actions/TCheckAction.h"
#include "actions/TKoSwitch.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "files/ShellHelpers.h"
#include "files/TFichierMan.h"

#include <algorithm>

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

const QStringList& VideoExtensions()
{
    // Raw DV (".dv", ".dif") comes after the usual ones: the camcorders' own files.
    static const QStringList list = {
        QStringLiteral("avi"),  QStringLiteral("ivf"),  QStringLiteral("mpg"),
        QStringLiteral("mpeg"), QStringLiteral("m1v"),  QStringLiteral("mp2"),
        QStringLiteral("mpe"),  QStringLiteral("wmv"),  QStringLiteral("asf"),
        QStringLiteral("mts"),  QStringLiteral("m2ts"), QStringLiteral("ts"),
        QStringLiteral("vob"),  QStringLiteral("mkv"),  QStringLiteral("mov"),
        QStringLiteral("mp4"),  QStringLiteral("3g2"),  QStringLiteral("m4v"),
        QStringLiteral("m2v"),  QStringLiteral("dv"),   QStringLiteral("dif")};
    return list;
}

bool IsVideoExtension(const QString& aLowerExt)
{
    return aLowerExt.startsWith(u'.') && VideoExtensions().contains(aLowerExt.mid(1));
}

QString VideoFilter()
{
    QStringList patterns;
    for (const QString& e : VideoExtensions())
        patterns << QStringLiteral("*.") + e;
    return QStringLiteral("Vidéos|") + patterns.join(u';');
}

void TShowForm::CreateFileManager()
{
    ficman = new TFichierMan(this);
    ficman->setObjectName(QStringLiteral("ficman"));
    ficman->Setup();
    ficman->ExistingOnly = true;
    ficman->DeleteExisting = ctAskif;
    ficman->SaveType = ctAskif;
    ficman->SetRecentLength(50);
    ficman->SetFilter(VideoFilter());
    ficman->SetDialogParent(this);
    // "New" does nothing here (existing files only); Ctrl+N is the text smoothing's in this
    // window, and a key bound twice would do neither.
    ficman->naNewFile->SetShortCut(scNone);
}

void TShowForm::BindFiles()
{
    ficman->SetDragControl(videoPanel);
    ficman->OnTestExtension = [](const QString& aLowerExt, const QString&) {
        return IsVideoExtension(aLowerExt);
    };
    ficman->OnOpenFile = [this](const QString& aFileName) {
        for (TCheckAction* page : {am->caAbout, am->caOptions})
            page->SetChecked(false);
        openfile(aFileName);
        return true;
    };
    ficman->OnCloseFile = [this](const QString&) { closefile(); };
    // A bare argument on the command line is a video to open.
    am->SwitchComponent()->DefaultAction = ficman->waOpenFile;
    // scripts/run names a demo clip for whoever has never opened a video.
    am->SwitchComponent()->OnNoCommandLine = [this](QObject*) {
        const QString demo = qEnvironmentVariable("TESSARINE_DEMO_CLIP");
        const QStringList recent = ficman->RecentFiles();
        const bool never =
            std::all_of(recent.begin(), recent.end(), [](const QString& r) { return r.isEmpty(); });
        if (never && m_currentVideo.isEmpty() && !demo.isEmpty() && QFileInfo::exists(demo))
            ficman->OpenFile(demo);
    };
    // A click on the title bar shows the current video in its folder.
    for (QWidget* w : {static_cast<QWidget*>(PanelTitre), static_cast<QWidget*>(EnCoursLab),
                       static_cast<QWidget*>(scnLab), static_cast<QWidget*>(srtlab),
                       static_cast<QWidget*>(moddlab)})
        w->installEventFilter(this);
}

bool TShowForm::TitleClicked(QObject* aWatched, QEvent* aEvent)
{
    if (aEvent->type() != QEvent::MouseButtonRelease ||
        static_cast<QMouseEvent*>(aEvent)->button() != Qt::LeftButton)
        return false;
    if (aWatched != PanelTitre && aWatched != EnCoursLab && aWatched != scnLab &&
        aWatched != srtlab && aWatched != moddlab)
        return false;
    if (!m_currentVideo.isEmpty())
        ShowInExplorer(m_currentVideo);
    return true;
}
