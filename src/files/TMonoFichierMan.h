#pragma once

#include "files/TFichierMan.h"

#include "files/TPathEdit.h"

#include <QLabel>
#include <QPointer>

// The file manager of a window that edits one text document: the current name shows in a label
// and a file box, the document's modification is tracked, and the name is kept in the open
// action's saved value ("%new%", "%no%" or the name) instead of actions of its own.
//
// Unlike the main window's manager, every open closes the current document first, "new" works
// whatever ExistingOnly says, and a save, a save-as or the close question never lose the
// document: a write that fails keeps the old name and the modification, and a name that the
// user does not give stops the close.
class TMonoFichierMan : public TFichierMan {
    Q_OBJECT
public:
    static constexpr int kActionCount = 28;

    explicit TMonoFichierMan(QObject* aOwner = nullptr);
    ~TMonoFichierMan() override;

    // The label text without a file.
    QString NoFileName;
    // The label shows the whole name, else its file part.
    bool IncludePath = false;
    // Called before an open, close or new changes the document (the host ends a recording).
    TEvent OnBeforeChange;
    // Called when the manager sets the modification (false after open, new, save, close).
    std::function<void(bool)> OnModifiedChanged;

    // The document has unsaved changes; the host sets it.
    bool Modified() const { return m_modified; }
    void SetModified(bool aModified);

    QLabel* FileLabel() const { return m_label; }
    void SetFileLabel(QLabel* aLabel);
    TWideFileEdit* FileEdit() const { return m_edit; }
    void SetFileEdit(TWideFileEdit* aEdit);
    // What the label shows.
    QString LabelText() const;

    void SaveFile() override;
    void SaveFileAs(const QString& aName) override;
    // Whether the last save or save-as wrote the file.
    bool LastSaveDone() const { return m_saveDone; }
    // The close question and its save; false when the document must stay (a cancel, no name,
    // a failed write).
    bool MayClose();

    void AssignHandlers() override;

protected:
    std::span<const TActionRow> ActionRows() const override;
    void FindOwnActions() override {}
    void DoOpenFile(const QString& aName) override;
    void DoCloseFile() override;
    void DoNewFile() override;
    void OpenActionApply(const QString& aName) override;
    bool SaveAsPrompt(QString& aName) override;
    void ChangeCurrentName(const QString& aName) override;

private:
    // The three states with their label and file box.
    void SetNamed(const QString& aName);
    void SetNew();
    void SetNoFile();
    void ShowName();
    // Before-change, the close question, the host's close: false when the document stays.
    bool CloseCurrent();
    // Writes the document under aName; on failure the name and state go back.
    bool WriteAs(const QString& aName);

    bool m_modified = false;
    bool m_saveDone = false;
    QPointer<QLabel> m_label;
    QPointer<TWideFileEdit> m_edit;
};
