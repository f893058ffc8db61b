#include "files/TMonoFichierMan.h"

#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "files/FichierManActions.h"
#include "files/FileNames.h"
#include "files/TPathEdit.h"
#include "files/TUserQuestions.h"

#include <QLabel>

#include <cstring>
#include <vector>

namespace {

const QString kNoValue = QStringLiteral("%no%");

// The main window's rows without the current-name and reopen actions.
const std::vector<TActionRow>& MonoRows()
{
    static const std::vector<TActionRow> rows = [] {
        std::vector<TActionRow> kept;
        for (const TActionRow& row : FichierManActionRows())
            if (std::strcmp(row.Name, "waCurrentFileName") != 0 &&
                std::strcmp(row.Name, "baOpenLastFile") != 0)
                kept.push_back(row);
        return kept;
    }();
    return rows;
}

} // namespace

TMonoFichierMan::TMonoFichierMan(QObject* aOwner)
    : TFichierMan(aOwner)
{
    SetState(fsNone);
}

TMonoFichierMan::~TMonoFichierMan() = default;

std::span<const TActionRow> TMonoFichierMan::ActionRows() const
{
    return MonoRows();
}

void TMonoFichierMan::SetModified(bool aModified)
{
    if (m_modified == aModified)
        return;
    m_modified = aModified;
    if (OnModifiedChanged)
        OnModifiedChanged(aModified);
}

void TMonoFichierMan::SetFileLabel(QLabel* aLabel)
{
    m_label = aLabel;
    ShowName();
}

void TMonoFichierMan::SetFileEdit(TWideFileEdit* aEdit)
{
    m_edit = aEdit;
    ShowName();
}

QString TMonoFichierMan::LabelText() const
{
    switch (State()) {
    case fsNamed:
        return IncludePath ? CurrentFileName() : ExtractFileName(CurrentFileName());
    case fsNew:
        return NewFileName + QStringLiteral(" (non enregistré)");
    case fsNone:
        break;
    }
    return NoFileName;
}

void TMonoFichierMan::ShowName()
{
    if (m_label)
        m_label->setText(LabelText());
    if (m_edit)
        m_edit->SetFileName(State() == fsNamed ? CurrentFileName() : QString());
}

void TMonoFichierMan::SetNamed(const QString& aName)
{
    StoreCurrentName(aName);
    SetState(fsNamed);
    ShowName();
}

void TMonoFichierMan::SetNew()
{
    StoreCurrentName(NewFileName); // as given: its extension is not changed
    SetState(fsNew);
    ShowName();
}

void TMonoFichierMan::SetNoFile()
{
    StoreCurrentName(QString());
    SetState(fsNone);
    ShowName();
}

void TMonoFichierMan::ChangeCurrentName(const QString& aName)
{
    if (aName.isEmpty())
        SetNoFile();
    else
        SetNamed(aName);
}

bool TMonoFichierMan::MayClose()
{
    if (!m_modified || SaveType == ctNever)
        return true;
    if (SaveType == ctAskif) {
        switch (Questions().YesNoCancel(DialogParent(), SaveQuestion())) {
        case TAnswer::Yes:
            break;
        case TAnswer::No:
            return true;
        default:
            return false;
        }
    }
    // As if chosen by the user; without a name of its own the save asks for one.
    m_saveDone = false;
    if (naSaveFile)
        naSaveFile->DoExecute(this);
    else
        SaveFile();
    return m_saveDone;
}

void TMonoFichierMan::DoOpenFile(const QString& aName)
{
    if (aName == NewFileMarker()) {
        DoNewFile();
        return;
    }
    if (aName == kNoValue) {
        DoCloseFile();
        return;
    }
    if (!MayOpen(aName))
        return;
    if (!CloseCurrent())
        return;
    SetNamed(aName);
    if (OnOpenFile && !OnOpenFile(aName)) {
        // Nothing was read: no name, so that a save cannot overwrite the file unread.
        SetNoFile();
        SetModified(false);
        if (OnErrorOpenFile)
            OnErrorOpenFile(aName);
        return;
    }
    PushRecent(CurrentFileName());
    SetModified(false);
}

bool TMonoFichierMan::CloseCurrent()
{
    if (OnBeforeChange)
        OnBeforeChange();
    if (!MayClose())
        return false;
    if (OnCloseFile)
        OnCloseFile(CurrentFileName());
    return true;
}

void TMonoFichierMan::DoCloseFile()
{
    if (!CloseCurrent())
        return;
    SetNoFile();
    SetModified(false);
}

void TMonoFichierMan::DoNewFile()
{
    if (!CloseCurrent())
        return;
    SetNew();
    if (OnNewFile)
        OnNewFile();
    SetModified(false);
}

void TMonoFichierMan::OpenActionApply(const QString& aName)
{
    DoOpenFile(aName); // it closes first, whatever the state
}

bool TMonoFichierMan::SaveAsPrompt(QString& aName)
{
    return ChooseSaveTarget(aName, DefaultExtension);
}

bool TMonoFichierMan::WriteAs(const QString& aName)
{
    const QString oldName = CurrentFileName();
    const TFileState oldState = State();
    SetNamed(aName);
    m_saveDone = !OnSaveFile || OnSaveFile(aName);
    if (!m_saveDone) {
        StoreCurrentName(oldName);
        SetState(oldState);
        ShowName();
        return false;
    }
    SetModified(false);
    return true;
}

void TMonoFichierMan::SaveFile()
{
    m_saveDone = false;
    if (State() == fsNamed && CurrentFileName() != NewFileName) {
        WriteAs(CurrentFileName());
        return;
    }
    // Without a name of its own the document asks for one.
    if (QString name; SaveAsPrompt(name))
        WriteAs(name);
}

void TMonoFichierMan::SaveFileAs(const QString& aName)
{
    m_saveDone = false;
    if (!aName.isEmpty())
        WriteAs(aName); // the recent list is left alone
}

void TMonoFichierMan::AssignHandlers()
{
    TFichierMan::AssignHandlers();
    if (waOpenFile)
        waOpenFile->OnInternalBeforeSave = [this](QString& v) {
            v = State() == fsNew    ? NewFileMarker()
                : State() == fsNone ? kNoValue
                                    : CurrentFileName();
            return true;
        };
}
