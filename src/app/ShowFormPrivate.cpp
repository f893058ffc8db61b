// The private filter sets from the main window's side: the folder and the switch in the
// options, the decoder slots of the two managers, the factory's primary source, and what the
// exit removes from the hive.
#include "app/TOptionsFrame.h"
#include "app/TShowForm.h"

#include "actions/ValueActions.h"
#include "base/TCommandQueue.h"
#include "files/TPathEdit.h"
#include "media/TAudioMan.h"
#include "media/TMediaFactory.h"
#include "media/TPrivateFilters.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>

void TShowForm::BindPrivate(TWidestringAction* aFolder, TBooleanAction* aUse)
{
    m_private = std::make_unique<TPrivateFilters>();
    aFolder->OnDefault = [](QString& v) {
        v = QCoreApplication::applicationDirPath() + u'/';
        return true;
    };
    aFolder->OnAfterApply = [this, aUse](const QString& v) {
        OptionsFrame->dePrivateFolder->SetFolder(v);
        RefreshPrivateSettings(v);
        // The sets come from the new folder.
        if (aUse->Value() || m_private->IsOn())
            SwitchPrivate(aUse->Value());
    };
    OptionsFrame->dePrivateFolder->OnAfterDialog = [aFolder](QObject*, const QString& v) {
        aFolder->SetValue(v);
    };
    aUse->OnAfterApply = [this](const bool& v) {
        OptionsFrame->cbUsePrivateFilters->setChecked(v);
        SwitchPrivate(v);
    };
    connect(OptionsFrame->cbUsePrivateFilters, &QCheckBox::clicked, this,
            [aUse](bool v) { aUse->SetValue(v); });
}

void TShowForm::RefreshPrivateSettings(const QString& aFolder)
{
    // The folder's settings files replace what an earlier folder put in the hive. Only an
    // absolute folder is read: never files that happen to be in the working folder.
    if (aFolder == m_privateFolderDone || QFileInfo(aFolder).isRelative())
        return;
    m_privateFolderDone = aFolder;
    TPrivateFilters::DeleteSettings(gp->HiveFile());
    TPrivateFilters::ImportSettings(aFolder, gp->HiveFile());
}

void TShowForm::SwitchPrivate(bool aOn)
{
    // Never under an open or a run: the switch frees the devices and decoders they use.
    if (m_ivRunning)
        IntervalStop = true;
    TCommandQueue::Instance().Submit([this, aOn] { SwitchPrivateNow(aOn); });
}

void TShowForm::SwitchPrivateNow(bool aOn)
{
    // The records the slots point to are freed by the switch: the video goes first and comes back
    // once the slots are filled again.
    const QString reopen = m_currentVideo;
    if (!reopen.isEmpty())
        closefile();
    vidman->Branch().OnRestorePrivate = nullptr;
    vidman->Branch().Fallback = vidman->Branch().SecondChance = nullptr;
    vidman->Branch().PostProcessor = nullptr;
    audman->SetFallbackDecoder(nullptr);
    audman->SetSecondChanceDecoder(nullptr);
    mf->SetSourceFilter(nullptr);
    auto* folder = qobject_cast<TWidestringAction*>(FindAction(QStringLiteral("waPrivateFolder")));
    if (aOn && folder && m_private->SwitchOn(folder->Value())) {
        const TPrivateFilters& p = *m_private;
        vidman->Branch().OnRestorePrivate = [this](const TFilterRec* r) {
            return m_private->RestorePrivate(r);
        };
        vidman->Branch().PostProcessor = p.FfdshowVideo();
        vidman->Branch().Fallback = p.FfdshowVideo();
        vidman->Branch().SecondChance = p.LavVideo();
        audman->SetFallbackDecoder(p.FfdshowAudio());
        audman->SetSecondChanceDecoder(p.LavAudio());
        mf->SetSourceFilter(p.LavSplitter());
    } else {
        m_private->SwitchOff();
    }
    if (!reopen.isEmpty() && QFileInfo::exists(reopen))
        openfile(reopen);
}

void TShowForm::PrivateAtExit()
{
    if (m_private->IsOn())
        SwitchPrivateNow(false);
    TPrivateFilters::DeleteSettings(gp->HiveFile());
}
