#pragma once

#include <QFlags>
#include <QFrame>
#include <QString>

#include <functional>

class QLineEdit;
class QPushButton;
class TUserQuestions;

// The options of the Windows open dialog, by their bit in its set. Only ofFileMustExist (only an
// existing file can be chosen) and ofNoDereferenceLinks (a link's own name) have a meaning for
// Qt's dialog; the others are kept for the settings that name them.
enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10,
    ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12,
    ofNoTestFileCreate = 1u << 13,
    ofNoNetworkButton = 1u << 14,
    ofNoLongNames = 1u << 15,
    ofOldStyleDialog = 1u << 16,
    ofNoDereferenceLinks = 1u << 17,
    ofEnableIncludeNotify = 1u << 18,
    ofEnableSizing = 1u << 19,
    ofDontAddToRecent = 1u << 20,
    ofForceShowHidden = 1u << 21
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptions)

// A path in a read-only box, changed only through the dialog that the button beside it opens.
// Children are placed by hand, as the Part gives: the edit at (0, 1) with the width
// W - ButtonWidth - 4 and the height H - 2, the button at (W - ButtonWidth - 4, 1) with the
// width ButtonWidth and the height H - 4, for a box of W x H (21 high at creation).
class TWideDialogEdit : public QFrame {
    Q_OBJECT
public:
    enum TBorderStyle { bsNone, bsSingle };
    // The sender and the file or folder name.
    using TWideExecOpenDialogEvent = std::function<void(QObject* aSender, const QString& aName)>;

    explicit TWideDialogEdit(QWidget* aParent = nullptr);
    ~TWideDialogEdit() override;

    QString DialogTitle;
    // After the user confirmed the dialog, with the new path.
    TWideExecOpenDialogEvent OnAfterDialog;
    // After the user cancelled it, with the current path.
    TWideExecOpenDialogEvent OnAbortDialog;

    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int aWidth);
    QString ButtonHint() const;
    void SetButtonHint(const QString& aHint);
    // Kept for the settings that name it: Qt's edit shows its selection only while focused.
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool aHide) { m_hideSelection = aHide; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle aStyle);
    // The text shown.
    QString Text() const;

    QLineEdit* Edit() const { return m_edit; }
    QPushButton* Button() const { return m_button; }
    // Who answers the dialogs; null: the program's (UserQuestions()).
    void SetQuestions(TUserQuestions* aQuestions) { m_questions = aQuestions; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* aEvent) override;
    // What a click on the button does.
    virtual void ButtonClick() = 0;
    void ShowText(const QString& aText);
    TUserQuestions& Questions() const;

private:
    void LayOut();

    QLineEdit* m_edit;
    QPushButton* m_button;
    int m_buttonWidth = 21;
    bool m_hideSelection = true;
    TBorderStyle m_borderStyle = bsSingle;
    TUserQuestions* m_questions = nullptr;
};

// A folder chosen with the folder browser. The chosen folder ends with "/".
class TWideDirectoryEdit : public TWideDialogEdit {
    Q_OBJECT
public:
    explicit TWideDirectoryEdit(QWidget* aParent = nullptr);

    // The browser offers a button that makes a new folder.
    bool CanCreateNew = false;
    // Where the browser starts when no folder is selected (Qt's dialog cannot be confined to it).
    QString Root;

    QString Folder() const { return m_folder; }
    // Also shows it.
    void SetFolder(const QString& aFolder);

protected:
    void ButtonClick() override;

private:
    QString m_folder;
};

// A file chosen with an open dialog of its own, which keeps the name of its previous use.
class TWideFileEdit : public TWideDialogEdit {
    Q_OBJECT
public:
    explicit TWideFileEdit(QWidget* aParent = nullptr);

    // Handed to the dialog: the default extension, the options, the filter in the Windows form
    // ("Macros|*.txt"), the selected filter (1-based) and the first folder.
    QString DefaultExt;
    TOpenOptions DialogOptions = TOpenOptions(ofHideReadOnly | ofEnableSizing);
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;

    QString FileName() const { return m_fileName; }
    // Also shows it.
    void SetFileName(const QString& aFileName);

protected:
    void ButtonClick() override;

private:
    QString m_fileName;
    QString m_dialogFileName; // what the dialog's previous use left
};
