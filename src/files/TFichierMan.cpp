#include "files/TFichierMan.h"

#include "actions/MacroState.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "files/FichierManActions.h"
#include "files/FileNames.h"
#include "files/ShellHelpers.h"
#include "files/TDropFileSourceW.h"
#include "files/TUserQuestions.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

#include <cstdlib>
#include <utility>

namespace {

// A file dropped on the drag control, posted to the component's message sink.
class TDroppedFileEvent : public QEvent {
public:
    explicit TDroppedFileEvent(const QString& aName)
        : QEvent(MessageEventType(WM_DROPFILES))
        , Name(aName)
    {
    }
    QString Name;
};

// The local files of a drop: the platform's file list only (text/uri-list), as on Windows.
QStringList DroppedFiles(const QDropEvent& aEvent)
{
    const QMimeData* data = aEvent.mimeData();
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return QStringList();
    return LocalPathsFromUriList(data->data(QStringLiteral("text/uri-list")));
}

// Accepts a file drop as a copy (or a link), never as a move: the source would delete the file.
bool AcceptFileDrop(QDropEvent& aEvent)
{
    if (aEvent.possibleActions() & Qt::CopyAction)
        aEvent.setDropAction(Qt::CopyAction);
    else if (aEvent.possibleActions() & Qt::LinkAction)
        aEvent.setDropAction(Qt::LinkAction);
    else
        return false;
    aEvent.accept();
    return true;
}

} // namespace

TFichierMan::TFichierMan(QObject* aOwner)
    : TKoActionComponent(aOwner)
    , m_dragSource(new TDropFileSourceW(this))
{
}

TFichierMan::~TFichierMan()
{
    // The control keeps its acceptance of drops (as on Windows while the component is destroyed);
    // its event filter goes with this object.
    if (m_dragControl)
        m_dragControl->removeEventFilter(this);
}

// --- properties

void TFichierMan::SetFilter(const QString& aFilter)
{
    m_filter = aFilter;
    m_dialogFilter = (aFilter.isEmpty() ? QString() : aFilter + u'|') +
                     QStringLiteral("Tous fichiers (*.*)|*.*");
    m_filterIndex = 1;
}

QString TFichierMan::QtDialogFilter() const
{
    return QtFilterFromWindows(m_dialogFilter);
}

void TFichierMan::SetInitialDir(const QString& aFolder)
{
    QString folder = aFolder;
    if (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    m_initialDir = folder;
}

void TFichierMan::SetRecentLength(int aLength)
{
    m_recentLength = aLength;
    for (int i = 0; i < kRecentCount; ++i)
        RecaptionRecent(i, false);
}

QStringList TFichierMan::RecentFiles() const
{
    QStringList names;
    for (const TWidestringAction* a : waRecentFilename)
        names << (a ? a->Value() : QString());
    return names;
}

namespace {

// An application filter: it sees a press before any filter of the widget pressed, one of which
// (the main window's, placing text) may keep the press to itself.
class TPressWatch : public QObject {
public:
    TPressWatch(std::function<void(QObject*, const QMouseEvent&)> aSeen, QObject* aParent)
        : QObject(aParent)
        , m_seen(std::move(aSeen))
    {
    }

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override
    {
        if (aEvent->type() == QEvent::MouseButtonPress)
            m_seen(aWatched, *static_cast<QMouseEvent*>(aEvent));
        return false;
    }

private:
    std::function<void(QObject*, const QMouseEvent&)> m_seen;
};

} // namespace

void TFichierMan::SetDragControl(QWidget* aControl)
{
    if (aControl == m_dragControl)
        return;
    ReleaseDragControl();
    m_dragControl = aControl;
    if (!aControl)
        return;
    m_controlAcceptedDrops = aControl->acceptDrops();
    aControl->setAcceptDrops(true);
    aControl->installEventFilter(this);
    // The drag distance is measured from the press, whichever filter of the control took it.
    if (!m_pressWatch && QCoreApplication::instance()) {
        m_pressWatch = new TPressWatch(
            [this](QObject* aWatched, const QMouseEvent& aPress) {
                if (aWatched == m_dragControl)
                    m_mouseDown = aPress.position().toPoint();
            },
            this);
        QCoreApplication::instance()->installEventFilter(m_pressWatch);
    }
}

void TFichierMan::ReleaseDragControl()
{
    if (m_dragControl) {
        m_dragControl->removeEventFilter(this);
        m_dragControl->setAcceptDrops(m_controlAcceptedDrops);
    }
    m_dragControl = nullptr;
}

TUserQuestions& TFichierMan::Questions() const
{
    return m_questions ? *m_questions : UserQuestions();
}

QWidget* TFichierMan::DialogParent() const
{
    if (m_dialogParent)
        return m_dialogParent;
    if (m_dragControl)
        return m_dragControl->window();
    return QApplication::activeWindow();
}

// --- the guard

void TFichierMan::RunGuarded(std::function<void()> aRequest)
{
    if (m_busy) {
        m_pending = std::move(aRequest);
        return;
    }
    const QPointer<TFichierMan> self(this);
    std::function<void()> request = std::move(aRequest);
    while (request) {
        m_busy = true;
        try {
            request();
        } catch (...) {
            if (self) {
                m_busy = false;
                m_pending = nullptr;
            }
            throw;
        }
        if (!self)
            return;
        m_busy = false;
        request = std::exchange(m_pending, nullptr);
    }
}

// --- operations

void TFichierMan::OpenFile(const QString& aName)
{
    RunGuarded([this, aName] { DoOpenFile(aName); });
}

void TFichierMan::CloseFile()
{
    RunGuarded([this] { DoCloseFile(); });
}

void TFichierMan::NewFile()
{
    RunGuarded([this] { DoNewFile(); });
}

bool TFichierMan::MayOpen(const QString& aName) const
{
    const bool may =
        (!OnTestExtension || OnTestExtension(ExtractFileExt(aName).toLower(), aName)) &&
        (!ExistingOnly || FileExists(aName));
    // Refused without a word, as a drop of a foreign file is; a batch run says why.
    if (!may && TBatchRun::Active())
        TBatchRun::Fail(QStringLiteral("fichier absent ou d'un type non pris en charge : ") +
                        aName);
    return may;
}

void TFichierMan::ChangeCurrentName(const QString& aName)
{
    if (waCurrentFileName) {
        waCurrentFileName->SetValue(aName);
    } else {
        m_current = aName;
        m_state = FileExists(aName) ? fsNamed : fsNew;
    }
}

void TFichierMan::DoOpenFile(const QString& aName)
{
    if (!MayOpen(aName))
        return;
    ChangeCurrentName(aName);
    m_state = fsNamed;
    if (OnOpenFile && !OnOpenFile(aName) && OnErrorOpenFile)
        OnErrorOpenFile(aName);
    PushRecent(m_current);
}

void TFichierMan::DoCloseFile()
{
    if (OnSaveFile) {
        if (m_state == fsNone)
            return;
        const bool save =
            SaveType == ctAlways ||
            (SaveType == ctAskif && Questions().YesNo(DialogParent(), SaveQuestion()));
        if (save) {
            // As if chosen by the user: the prepare step runs first.
            if (m_state == fsNew) {
                if (waSaveFileAs) {
                    waSaveFileAs->DoExecute(this);
                } else if (QString name; SaveAsPrompt(name)) {
                    SaveFileAs(name);
                }
            } else if (naSaveFile) {
                naSaveFile->DoExecute(this);
            } else {
                SaveFile();
            }
        }
    }
    if (OnCloseFile)
        OnCloseFile(m_current);
    ChangeCurrentName(QString());
    m_state = fsNone;
}

void TFichierMan::DoNewFile()
{
    if (ExistingOnly)
        return;
    DoCloseFile();
    ChangeCurrentName(ChangeFileExt(NewFileName, DefaultExtension));
    m_state = fsNew;
    if (OnNewFile)
        OnNewFile();
}

void TFichierMan::OpenActionApply(const QString& aName)
{
    // Tested before the open file is closed: a refused choice keeps it, and the user learns why
    // (a batch run says it in MayOpen).
    if (!MayOpen(aName)) {
        const QString why =
            FileExists(aName) ? QStringLiteral("Le fichier %1 n'est pas d'un type pris en charge.")
                              : QStringLiteral("Le fichier %1 n'existe pas.");
        if (!TBatchRun::Active())
            Questions().Notice(DialogParent(), why.arg(ExtractFileName(aName)));
        return;
    }
    if (m_state != fsNone)
        DoCloseFile();
    DoOpenFile(aName);
}

bool TFichierMan::OpenPrompt(QString& aName)
{
    TFileDialogRequest r;
    r.Title = QStringLiteral("Sélectionnez le fichier à ouvrir");
    r.InitialDir = m_initialDir.isEmpty() ? m_lastDialogFolder : m_initialDir;
    r.Filter = QtDialogFilter();
    r.FilterIndex = m_filterIndex;
    if (!Questions().AskOpenFile(DialogParent(), r))
        return false;
    m_filterIndex = r.FilterIndex;
    m_lastDialogFolder = ExtractFilePath(r.FileName);
    aName = r.FileName;
    return true;
}

void TFichierMan::SaveFile()
{
    if (m_state == fsNone)
        return;
    if (m_state == fsNew) {
        QString name;
        if (!SaveAsPrompt(name))
            return;
        // The state is what the current-name rule gives: named only when the file existed.
        ChangeCurrentName(name);
    }
    if (OnSaveFile)
        OnSaveFile(m_current);
}

bool TFichierMan::SaveAsPrompt(QString& aName)
{
    if (!OnSaveFile || m_state == fsNone)
        return false;
    return ChooseSaveTarget(aName, DefaultExtension.mid(1));
}

bool TFichierMan::ChooseSaveTarget(QString& aName, const QString& aSuffix)
{
    TFileDialogRequest r;
    r.Title = QStringLiteral("Sélectionner le fichier cible");
    r.InitialDir = m_initialDir.isEmpty() ? m_lastDialogFolder : m_initialDir;
    r.Filter = QtDialogFilter();
    r.FilterIndex = m_filterIndex;
    r.DefaultSuffix = aSuffix;
    r.FileName = NextFreeName(m_current);
    if (!Questions().AskSaveFile(DialogParent(), r))
        return false;
    m_filterIndex = r.FilterIndex;
    m_lastDialogFolder = ExtractFilePath(r.FileName);
    QString name = r.FileName;
    // The new-file placeholder never becomes a real name.
    if (name == NewFileName)
        name += u'1';
    if (FileExists(name)) {
        if (DeleteExisting == ctNever)
            return false;
        if (DeleteExisting == ctAskif &&
            !Questions().YesNo(DialogParent(),
                               QStringLiteral("Voulez-vous écraser le fichier existant:\r\n") +
                                   name + QStringLiteral(" ?")))
            return false;
    }
    aName = name;
    return true;
}

void TFichierMan::SaveFileAs(const QString& aName)
{
    ChangeCurrentName(aName);
    if (OnSaveFile)
        OnSaveFile(aName);
    m_state = fsNamed;
    if (!FileExists(m_current) || !waRecentFilename[0])
        return;
    const TMacroPause pause;
    for (int i = 0; i + 1 < kRecentCount; ++i)
        waRecentFilename[i]->SetValue(waRecentFilename[i + 1]->Value());
    waRecentFilename[kRecentCount - 1]->SetValue(QString());
    PushRecent(m_current);
}

void TFichierMan::ShowInFolder()
{
    if (m_state == fsNamed && !m_current.isEmpty())
        ShowInFileManager(m_current);
}

void TFichierMan::ShowInFileManager(const QString& aPath)
{
    ShowInExplorer(aPath);
}

void TFichierMan::PasteFile()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return;
    const QStringList paths = LocalPathsFromMimeData(*data);
    if (!paths.isEmpty())
        OpenFile(paths.constFirst());
}

// --- recent list

void TFichierMan::PushRecent(const QString& aName)
{
    if (!waRecentFilename[0])
        return;
    int found = -1;
    for (int i = 0; i < kRecentCount && found < 0; ++i)
        if (SameFileName(waRecentFilename[i]->Value(), aName))
            found = i;
    if (found == 0)
        return;
    // Only the current name is recorded in a macro; the list follows it.
    const TMacroPause pause;
    for (int i = found < 0 ? kRecentCount - 2 : found - 1; i >= 0; --i)
        waRecentFilename[i + 1]->SetValue(waRecentFilename[i]->Value());
    waRecentFilename[0]->SetValue(aName);
}

void TFichierMan::RecaptionRecent(int aIndex, bool aSetVisible)
{
    TNopeAction* action = naRecent[aIndex];
    if (!action)
        return;
    const QString name = waRecentFilename[aIndex] ? waRecentFilename[aIndex]->Value() : QString();
    action->SetCaption(QString::number(aIndex + 1) + u' ' +
                       LiteralMenuText(ShortenFileName(name, m_recentLength)));
    if (aSetVisible)
        action->SetVisible(FileExists(name));
}

// --- drop and drag

bool TFichierMan::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched != m_dragControl)
        return false;
    switch (aEvent->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(aEvent);
        return !DroppedFiles(*e).isEmpty() && AcceptFileDrop(*e);
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(aEvent);
        const QStringList files = DroppedFiles(*e);
        if (files.isEmpty() || !AcceptFileDrop(*e))
            return false;
        // Opened after the drop returns: the source waits for this handler, the open may not.
        QCoreApplication::postEvent(Handle(), new TDroppedFileEvent(files.constFirst()));
        return true;
    }
    case QEvent::MouseMove: {
        const auto* e = static_cast<QMouseEvent*>(aEvent);
        if (e->buttons() & (Qt::LeftButton | Qt::RightButton)) {
            const QPoint d = e->position().toPoint() - m_mouseDown;
            if (std::abs(d.x()) >= kDragDistance || std::abs(d.y()) >= kDragDistance)
                DragCurrentFile();
        }
        return false;
    }
    default:
        return false;
    }
}

bool TFichierMan::WndProc(QEvent& aMessage)
{
    if (auto* dropped = dynamic_cast<TDroppedFileEvent*>(&aMessage)) {
        FileDropped(dropped->Name);
        return true;
    }
    return TKoActionComponent::WndProc(aMessage);
}

void TFichierMan::FileDropped(const QString& aName)
{
    RunGuarded([this, aName] {
        if (!SameFileName(aName, m_current))
            DoOpenFile(aName);
    });
}

void TFichierMan::DragCurrentFile()
{
    // Nothing to offer without a file on disk.
    if (!m_dragControl || !FileExists(m_current))
        return;
    m_dragSource->Files = QStringList{m_current};
    m_dragSource->Execute(m_dragControl);
}

// --- actions

std::span<const TActionRow> TFichierMan::ActionRows() const
{
    return FichierManActionRows();
}

void TFichierMan::CreateActions()
{
    ::CreateActions(ActionRows(), this);
}

void TFichierMan::FindActions()
{
    naNewFile = Get<TNopeAction>(QStringLiteral("naNewFile"));
    waOpenFile = Get<TWidestringAction>(QStringLiteral("waOpenFile"));
    waInitialDir = Get<TWidestringAction>(QStringLiteral("waInitialDir"));
    naPasteFile = Get<TNopeAction>(QStringLiteral("naPasteFile"));
    naSaveFile = Get<TNopeAction>(QStringLiteral("naSaveFile"));
    waSaveFileAs = Get<TWidestringAction>(QStringLiteral("waSaveFileAs"));
    naCloseFile = Get<TNopeAction>(QStringLiteral("naCloseFile"));
    naParentFolder = Get<TNopeAction>(QStringLiteral("naParentFolder"));
    for (int i = 0; i < kRecentCount; ++i) {
        naRecent[i] = Get<TNopeAction>(QStringLiteral("naRecent%1").arg(i + 1));
        waRecentFilename[i] =
            Get<TWidestringAction>(QStringLiteral("waRecentFilename%1").arg(i + 1));
    }
    FindOwnActions();
}

void TFichierMan::FindOwnActions()
{
    waCurrentFileName = Get<TWidestringAction>(QStringLiteral("waCurrentFileName"));
    baOpenLastFile = Get<TBooleanAction>(QStringLiteral("baOpenLastFile"));
}

void TFichierMan::AssignHandlers()
{
    // Captions and hints are the component's, whatever the actions were created with.
    for (const TActionRow& row : ActionRows()) {
        if (TCustomAbstractAction* a = FindByInternalId(QString::fromUtf8(row.Name))) {
            a->SetCaption(row.Caption ? QString::fromUtf8(row.Caption) : ActionBaseName(row.Name));
            a->SetHint(QString::fromUtf8(row.Hint));
        }
    }
    for (int i = 0; i < kRecentCount; ++i)
        if (naRecent[i])
            naRecent[i]->SetVisible(waRecentFilename[i] &&
                                    FileExists(waRecentFilename[i]->Value()));
    BindHandlers();
}

void TFichierMan::BindHandlers()
{
    if (naNewFile)
        naNewFile->OnInternalApply = [this] { NewFile(); };
    if (waOpenFile) {
        waOpenFile->OnInternalPrepare = [this](QString& v) { return OpenPrompt(v); };
        waOpenFile->OnInternalApply = [this](const QString& v) {
            RunGuarded([this, v] { OpenActionApply(v); });
        };
    }
    if (waCurrentFileName) {
        // The current-name rule: named when the file exists, else new.
        waCurrentFileName->OnInternalApply = [this](const QString& v) {
            m_current = v;
            m_state = FileExists(v) ? fsNamed : fsNew;
        };
        waCurrentFileName->OnInternalBeforeSave = [this](QString& v) {
            v = m_state == fsNew ? NewFileMarker() : m_state == fsNone ? QString() : m_current;
            return true;
        };
    }
    if (baOpenLastFile) {
        // Reopens at load only, and only when on; a change from a menu or a script opens nothing.
        baOpenLastFile->OnInternalDefault = [this](bool&) {
            m_loadingOpenLast = true;
            return true;
        };
        baOpenLastFile->OnInternalApply = [this](const bool& v) {
            // Only a file that is there: a program that never opened one stored "%new%", and a
            // batch run must not fail on a file it was not asked to open.
            if (std::exchange(m_loadingOpenLast, false) && v && m_state == fsNamed)
                OpenFile(m_current);
        };
        baOpenLastFile->OnInternalBeforeSave = [this](bool& v) {
            if (v && m_state == fsNamed && naSaveFile)
                naSaveFile->DoExecute(this);
            else if (v && m_state == fsNew && waSaveFileAs)
                waSaveFileAs->DoExecute(this);
            return true;
        };
    }
    if (waInitialDir) {
        waInitialDir->OnInternalPrepare = [](QString& v) {
            v.clear();
            return true;
        };
        waInitialDir->OnInternalApply = [this](const QString& v) { SetInitialDir(v); };
    }
    if (naPasteFile)
        naPasteFile->OnInternalApply = [this] { PasteFile(); };
    if (naSaveFile)
        naSaveFile->OnInternalApply = [this] { SaveFile(); };
    if (waSaveFileAs) {
        waSaveFileAs->OnInternalPrepare = [this](QString& v) { return SaveAsPrompt(v); };
        waSaveFileAs->OnInternalApply = [this](const QString& v) { SaveFileAs(v); };
    }
    if (naCloseFile)
        naCloseFile->OnInternalApply = [this] { CloseFile(); };
    if (naParentFolder)
        naParentFolder->OnInternalApply = [this] { ShowInFolder(); };
    for (int i = 0; i < kRecentCount; ++i) {
        if (naRecent[i])
            naRecent[i]->OnInternalApply = [this, i] {
                OpenFile(waRecentFilename[i] ? waRecentFilename[i]->Value() : QString());
            };
        if (waRecentFilename[i])
            waRecentFilename[i]->OnInternalApply = [this, i](const QString&) {
                RecaptionRecent(i, true);
            };
    }
}
