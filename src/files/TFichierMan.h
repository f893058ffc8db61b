#pragma once

#include "actions/ActionTable.h"
#include "actions/TKoActionComponent.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <span>

class QWidget;
class TBooleanAction;
class TDropFileSourceW;
class TNopeAction;
class TUserQuestions;
class TWidestringAction;

// What to do when a confirmation could be asked.
enum TConfirmType { ctAlways = 0, ctNever = 1, ctAskif = 2 };

// The state of the current file.
enum TFileState : quint8 {
    fsNamed = 0, // a named file is open
    fsNew = 1,   // new, not yet named
    fsNone = 2   // no file
};

// The message of a file dropped on the drag control: the drop is posted, so that the file opens
// once the drop handler has returned (the value of the Windows message, posted to Handle()).
constexpr int WM_DROPFILES = 0x0233;

// The file manager: the usual file commands of a document program for one window (new, open,
// save, save as, close, paste a file, show it in its folder, an initial folder, the ten most
// recent files), files dropped on a control and the current file dragged out of it. It never
// reads or writes a document: the host's events do.
//
// The main window's instance "ficman" sets ExistingOnly, RecentLength = 50, DragControl = the video
// panel and connects OnOpenFile, OnCloseFile and OnTestExtension (no OnSaveFile: the save commands
// do nothing there).
//
// Opening and closing may run nested event loops through the host's events. An open, close or new
// request that arrives meanwhile (a drop, a menu, a script) is kept, the latest replacing an
// earlier one, and runs when the running one ends.
//
// The steps that the single-file manager does differently are virtual.
class TFichierMan : public TKoActionComponent {
    Q_OBJECT
public:
    static constexpr int kRecentCount = 10;
    // How far the pointer moves, with a button held, before the current file is dragged out.
    static constexpr int kDragDistance = 10;

    using TEvent = std::function<void()>;
    // Open or save this file; false on failure.
    using TFileEvent = std::function<bool(const QString& aFileName)>;
    using TCloseFileEvent = std::function<void(const QString& aFileName)>;
    // May refuse a file by its lower-case extension (with the dot; empty without one).
    using TTestExtensionEvent =
        std::function<bool(const QString& aLowerExt, const QString& aFileName)>;

    explicit TFichierMan(QObject* aOwner = nullptr);
    ~TFichierMan() override;

    // Only existing files can be opened, and "new" does nothing.
    bool ExistingOnly = false;
    // Saving under a new name onto an existing file: overwrite, refuse, or ask.
    TConfirmType DeleteExisting = ctAskif;
    // Whether closing saves first.
    TConfirmType SaveType = ctAskif;
    // With its dot: ".txt".
    QString DefaultExtension;
    // The base name of a new file.
    QString NewFileName;

    TEvent OnNewFile;
    TFileEvent OnOpenFile;
    TFileEvent OnSaveFile;
    TCloseFileEvent OnCloseFile;
    // Called when OnOpenFile returned false.
    TFileEvent OnErrorOpenFile;
    TTestExtensionEvent OnTestExtension;

    TFileState State() const { return m_state; }
    QString CurrentFileName() const { return m_current; }

    // The dialog's filter in the Windows form ("Vidéos|*.avi;*.mpg"). Setting it makes the dialog
    // offer it followed by "Tous fichiers (*.*)|*.*" and selects the first entry.
    QString Filter() const { return m_filter; }
    void SetFilter(const QString& aFilter);
    // What the dialog offers, in the Windows form and in Qt's.
    QString DialogFilter() const { return m_dialogFilter; }
    QString QtDialogFilter() const;
    int FilterIndex() const { return m_filterIndex; }
    QString InitialDir() const { return m_initialDir; }

    // The length a recent name is shortened to in its caption; setting it recaptions the ten
    // recent actions without changing their visibility.
    int RecentLength() const { return m_recentLength; }
    void SetRecentLength(int aLength);
    // The recent names, most recent first (ten, empty ones included).
    QStringList RecentFiles() const;

    // The control that accepts dropped files and from which the current file can be dragged;
    // cleared when it is destroyed.
    QWidget* DragControl() const { return m_dragControl; }
    void SetDragControl(QWidget* aControl);
    TDropFileSourceW* DragSource() const { return m_dragSource; }

    // Who answers the questions and dialogs; null: the program's (UserQuestions()).
    void SetQuestions(TUserQuestions* aQuestions) { m_questions = aQuestions; }
    // The window that owns the dialogs; null: the drag control's window, else the active one.
    void SetDialogParent(QWidget* aParent) { m_dialogParent = aParent; }

    // The operations; each is also the apply of its action.
    void OpenFile(const QString& aName);
    void CloseFile();
    void NewFile();
    virtual void SaveFile();
    virtual void SaveFileAs(const QString& aName);
    // The file manager with the current file selected (over D-Bus), else its folder; nothing
    // when no file is open (a new file has only a name).
    void ShowInFolder();
    // The dialog's first folder, without a trailing "/" (the root stays "/").
    void SetInitialDir(const QString& aFolder);
    // Opens the first file that the clipboard names (text/uri-list, else plain text).
    void PasteFile();
    // The first open prompt's choice, or nothing when the user cancelled.
    bool OpenPrompt(QString& aName);
    // An open, close or new is running (its events may run nested loops).
    bool Busy() const { return m_busy; }

    bool WndProc(QEvent& aMessage) override;
    void AssignHandlers() override;
    void CreateActions() override;
    void FindActions() override;

    TNopeAction* naNewFile = nullptr;
    TWidestringAction* waOpenFile = nullptr;
    TWidestringAction* waCurrentFileName = nullptr;
    TBooleanAction* baOpenLastFile = nullptr;
    TWidestringAction* waInitialDir = nullptr;
    TNopeAction* naPasteFile = nullptr;
    TNopeAction* naSaveFile = nullptr;
    TWidestringAction* waSaveFileAs = nullptr;
    TNopeAction* naCloseFile = nullptr;
    TNopeAction* naParentFolder = nullptr;
    std::array<TNopeAction*, kRecentCount> naRecent{};
    std::array<TWidestringAction*, kRecentCount> waRecentFilename{};

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

    // The rows of this component's actions; their captions and hints are set again after loading.
    virtual std::span<const TActionRow> ActionRows() const;
    // Finds waCurrentFileName and baOpenLastFile, which the single-file manager does not have
    // (FindActions finds the others, then calls this).
    virtual void FindOwnActions();
    // Binds the component's hooks to the actions found; an action not found is skipped.
    void BindHandlers();

    // The unguarded bodies of OpenFile, CloseFile and NewFile (the guarded ones call these).
    virtual void DoOpenFile(const QString& aName);
    virtual void DoCloseFile();
    virtual void DoNewFile();
    virtual void ShowInFileManager(const QString& aPath);
    // The apply of waOpenFile: close unless there is no file, then open.
    virtual void OpenActionApply(const QString& aName);
    // The prepare step of waSaveFileAs: a target name, or false.
    virtual bool SaveAsPrompt(QString& aName);
    // Changes the current name (through waCurrentFileName, so that a recorded macro shows it).
    virtual void ChangeCurrentName(const QString& aName);
    // Starts dragging the current file out of the drag control.
    virtual void DragCurrentFile();
    // A file dropped on the drag control, once the drop has returned.
    virtual void FileDropped(const QString& aName);

    // The saved current name of a new, unnamed document.
    static QString NewFileMarker() { return QStringLiteral("%new%"); }
    // The question before closing a modified document.
    static QString SaveQuestion()
    {
        return QStringLiteral("Voulez-vous sauver le fichier ouvert ?\r\nSinon, toutes les "
                              "modifications seront perdues");
    }
    // The extension test and, with ExistingOnly, the existence test of an open (a batch run is
    // told why a file is refused).
    bool MayOpen(const QString& aName) const;
    // Steps 2 to 4 of the save-as prompt: the dialog with the next free name and the overwrite
    // confirmation; aSuffix is the dialog's default extension.
    bool ChooseSaveTarget(QString& aName, const QString& aSuffix);
    // Puts a name at the top of the recent list.
    void PushRecent(const QString& aName);
    // Recaptions the N-th recent action (0-based) from its name, and shows it when the file
    // exists.
    void RecaptionRecent(int aIndex, bool aSetVisible);
    void SetState(TFileState aState) { m_state = aState; }
    void StoreCurrentName(const QString& aName) { m_current = aName; }
    // Runs an open, close or new, or keeps it for later when one is running (latest wins).
    void RunGuarded(std::function<void()> aRequest);
    TUserQuestions& Questions() const;
    QWidget* DialogParent() const;

private:
    void ReleaseDragControl();

    TFileState m_state = fsNew;
    QString m_current;
    QString m_filter;
    QString m_dialogFilter;
    int m_filterIndex = 1;
    QString m_initialDir;
    QString m_lastDialogFolder;
    int m_recentLength = 0;
    QPointer<QWidget> m_dragControl;
    bool m_controlAcceptedDrops = false;
    QPoint m_mouseDown;
    QObject* m_pressWatch = nullptr; // sees presses before the control's other filters
    TDropFileSourceW* m_dragSource;
    TUserQuestions* m_questions = nullptr;
    QPointer<QWidget> m_dialogParent;
    bool m_busy = false;
    std::function<void()> m_pending;
    bool m_loadingOpenLast = false;
};
