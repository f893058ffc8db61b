#pragma once

#include <QWidget>

#include <functional>

class QMenu;
class QPlainTextEdit;
class QTabWidget;
class TAbstractListObjet;
class TCustomKoActionList;
class TLinkEdit;
class TObjetListBox;
struct TSortOrder;

// The reference of every typed action: one page of list boxes per group, and for the action
// chosen its script name with its shortcut, hint, script declaration, switch and comments.
class THelpForm : public QWidget {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* aParent = nullptr);
    ~THelpForm() override;

    // Puts every typed action of aList on the page aName (made when there is none).
    void AddGroup(const QString& aName, TCustomKoActionList* aList);
    // Sorts every list box of the window in aOrder.
    void trier(const TSortOrder& aOrder);
    // The details of the current entry of the page shown.
    void ShowDetails();
    TObjetListBox* CurrentList() const;
    // Answers true while a double-click must not run an action (a script waits under it).
    std::function<bool()> Busy;
    // The window was closed by its own close button.
    std::function<void()> OnClosed;

    QTabWidget* pc;
    TLinkEdit* leName;
    TLinkEdit* leHint;
    QPlainTextEdit* leSyntaxe;
    TLinkEdit* leSwitch;
    TLinkEdit* leCommentaire;
    QMenu* pmenu;

protected:
    void resizeEvent(QResizeEvent* aEvent) override;
    void closeEvent(QCloseEvent* aEvent) override;
    void showEvent(QShowEvent* aEvent) override;

private:
    void Execute(TAbstractListObjet* aEntry);
    void Layout();
};
