#pragma once

#include "actions/TKoActionComponent.h"
#include "prefs/PrefTypes.h"

#include <QPointer>
#include <QStringList>

#include <functional>

class QAction;
class TCheckAction;
class THelpForm;
class TKoSwitch;
class TScriptForm;
class TLinkEdit;
class TNopeAction;
class TRectAction;

// The application's own commands: the script and help windows, the about, options and custom
// pages over the whole window, quit, mail and home page, and the main window's bounds. It
// creates what the program shares: the script window with the script engine, the help window
// and the command-line switches. Its pages are panels that cover the client area of
// aWinControl, the page's frame centred, one page at a time.
class TKoAppliMan : public TKoActionComponent {
    Q_OBJECT
public:
    // aWindow: the main window (bounds, close); aClient: the area the pages cover.
    TKoAppliMan(QWidget* aWindow, QWidget* aClient);
    ~TKoAppliMan() override;

    static QString Version();    // "major.minor.release"
    static QString Language();   // "fr"
    static QString FullTitle();  // "Tessarine <version> fr"
    static QString UpdateDate(); // "dd/mm/yyyy"
    // The author's mail address and the home page; empty when the build names none.
    static QString MailAddress();
    static QString HomePage();

    // The libraries the about page credits, and their addresses in the same order.
    QStringList TitreUses;
    QStringList UrlUses;
    bool OptionsCloseVisible = true;
    void SetOptionsFrame(QWidget* aFrame);
    void SetAboutFrame(QWidget* aFrame);
    void SetCustomFrame(QWidget* aFrame);
    // Fills the about frame each time the page opens: the close text is given.
    std::function<void(const QString& aCloseText)> OnFillAbout;
    // The markup of the about page's credits: "Il utilise <url ...>name</url>, ....<br><br>".
    QString UsesText() const;

    // A close link of a page was clicked: "closeAbout" or "closeOptions" closes that page.
    void CloseLink(const QString& aLink);
    static QString CloseHint();
    THelpForm* HelpForm() const { return m_help; }
    TScriptForm* ScriptForm() const { return m_script; }
    TKoSwitch* SwitchComponent() const { return m_switch; }
    // Gives the other windows the main window's keys that they do not bind themselves.
    void ShareShortcuts(const QList<QAction*>& aMainActions);
    QWidget* Page(int aIndex) const { return m_pages[aIndex]; }
    TLinkEdit* OptionsCloseLabel() const { return m_optionsClose; }
    // "Tapez F10 pour quitter cette page ou <link closeOptions>cliquez ici</link>."
    static QString CloseText(const QString& aKey, const QString& aLink);
    // The bounds the window takes when nothing is stored: its size, centred on aAvailable.
    static TRect CentredBounds(QSize aSize, const QRect& aAvailable);
    // A stored rectangle (right and bottom edges outside it) as a window's geometry, and back.
    static QRect GeometryOf(const TRect& aBounds);
    static TRect BoundsOf(const QRect& aGeometry);
    // Stored bounds that no screen shows enough of, or too small, give aDefault.
    static TRect UsableBounds(const TRect& aStored, const TRect& aDefault,
                              const QList<QRect>& aScreens);
    // Gives aWindow the stored bounds, or aDefault when they are not usable on today's screens;
    // on Wayland only the size.
    static void PlaceWindow(QWidget* aWindow, const TRect& aStored, const TRect& aDefault);

    void CreateActions() override;
    void FindActions() override;
    void AssignHandlers() override;

    TCheckAction* caScript = nullptr;
    TCheckAction* caHelp = nullptr;
    TCheckAction* caAbout = nullptr;
    TCheckAction* caOptions = nullptr;
    TCheckAction* caCustom = nullptr;
    TNopeAction* naQuit = nullptr;
    TNopeAction* naEMail = nullptr;
    TNopeAction* naHomePage = nullptr;
    TRectAction* raFormSave = nullptr;

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    enum { kOptions, kCustom, kAbout, kPageCount };
    void SetFrame(int aPage, QWidget* aFrame);
    // The main window's size centred on its screen: its bounds on the first run.
    TRect CentredDefault() const;
    void ShowPage(int aPage, bool aOn);
    void Centre(int aPage);

    QWidget* m_window;
    QWidget* m_client;
    QWidget* m_pages[kPageCount] = {};
    QPointer<QWidget> m_frames[kPageCount];
    THelpForm* m_help;
    TScriptForm* m_script;
    bool m_helpPlaced = false;
    TKoSwitch* m_switch;
    TLinkEdit* m_optionsClose;
};
