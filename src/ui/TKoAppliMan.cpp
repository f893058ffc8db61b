#include "ui/TKoAppliMan.h"

#include "actions/TCheckAction.h"
#include "actions/TKoSwitch.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "ui/AppliManActions.h"
#include "ui/THelpForm.h"
#include "ui/TLinkEdit.h"
#include "ui/TScriptForm.h"

#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QUrl>
#include <QUrlQuery>

#include <utility>

namespace {

constexpr int kUpdateDay = 9, kUpdateMonth = 12, kUpdateYear = 2026;
// Stored bounds must show at least this much of the window on some screen.
constexpr int kMinVisible = 100;
constexpr int kMinSize = 200;

} // namespace

QString TKoAppliMan::Version()
{
    return QString::asprintf("%d.%d.%d", TESS_VERSION_MAJOR, TESS_VERSION_MINOR,
                             TESS_VERSION_PATCH);
}

QString TKoAppliMan::Language()
{
    return QStringLiteral("fr");
}

QString TKoAppliMan::FullTitle()
{
    return QStringLiteral("Tessarine ") + Version() + u' ' + Language();
}

QString TKoAppliMan::UpdateDate()
{
    return QString::asprintf("%.2d/%.2d/%.4d", kUpdateDay, kUpdateMonth, kUpdateYear);
}

QString TKoAppliMan::MailAddress()
{
    return QStringLiteral(TESS_MAIL_ADDRESS);
}

QString TKoAppliMan::HomePage()
{
    return QStringLiteral(TESS_HOME_PAGE);
}

QString TKoAppliMan::CloseText(const QString& aKey, const QString& aLink)
{
    return QStringLiteral("Tapez %1 pour quitter cette page ou <link %2>cliquez ici</link>.")
        .arg(aKey, aLink);
}

QString TKoAppliMan::CloseHint()
{
    return QStringLiteral("Cliquez pour fermer cette page\r\net retourner à l'application");
}

QRect TKoAppliMan::GeometryOf(const TRect& r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TRect TKoAppliMan::BoundsOf(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TRect TKoAppliMan::CentredBounds(QSize aSize, const QRect& aAvailable)
{
    const int left = aAvailable.left() + (aAvailable.width() - aSize.width()) / 2;
    const int top = aAvailable.top() + (aAvailable.height() - aSize.height()) / 2;
    return BoundsOf(QRect(QPoint(left, top), aSize));
}

TRect TKoAppliMan::UsableBounds(const TRect& aStored, const TRect& aDefault,
                                const QList<QRect>& aScreens)
{
    const QRect r = GeometryOf(aStored);
    if (r.width() < kMinSize || r.height() < kMinSize)
        return aDefault;
    for (const QRect& screen : aScreens) {
        const QRect seen = screen.intersected(r);
        if (seen.width() >= kMinVisible && seen.height() >= kMinVisible)
            return aStored;
    }
    return aDefault; // a monitor that is gone, or bounds written by hand
}

TKoAppliMan::TKoAppliMan(QWidget* aWindow, QWidget* aClient)
    : TKoActionComponent(aWindow)
    , m_window(aWindow)
    , m_client(aClient)
{
    setObjectName(QStringLiteral("am"));
    for (int i = 0; i < kPageCount; ++i) {
        auto* page = new QWidget(aClient);
        page->setObjectName(QStringList{QStringLiteral("PanelOptions"),
                                        QStringLiteral("PanelCustom"),
                                        QStringLiteral("PanelAbout")}[i]);
        page->setAutoFillBackground(true);
        QPalette pal = page->palette();
        pal.setColor(QPalette::Window,
                     i == kAbout ? pal.color(QPalette::Dark) : QColor(0xC0, 0xC0, 0xC0));
        page->setPalette(pal);
        page->hide();
        page->installEventFilter(this);
        m_pages[i] = page;
    }
    aClient->installEventFilter(this);
    m_help = new THelpForm(aWindow);
    m_help->hide();
    m_script = new TScriptForm(aWindow);
    m_script->hide();
    m_switch = new TKoSwitch(this);
    m_switch->setObjectName(QStringLiteral("Switch"));
    m_switch->OnQuit = [this] { m_window->close(); };

    m_optionsClose = new TLinkEdit(m_pages[kOptions]);
    m_optionsClose->setObjectName(QStringLiteral("OptionsClose"));
    m_optionsClose->setFrameShape(QFrame::NoFrame);
    m_optionsClose->viewport()->setAutoFillBackground(false);
    m_optionsClose->setStyleSheet(QStringLiteral("background: transparent"));
    QFont f = m_optionsClose->font();
    f.setPointSize(8);
    f.setBold(true);
    f.setItalic(true);
    m_optionsClose->setFont(f);
    m_optionsClose->SetFontColor(128); // maroon
    m_optionsClose->ResetAttributes();
    m_optionsClose->SetRichText(CloseText(QStringLiteral("F10"), QStringLiteral("closeOptions")));
    m_optionsClose->OnCustomLinkClick = [this](const QString& l) { CloseLink(l); };
    m_optionsClose->OnCustomLinkHint = [](const QString&, QString& aHint) { aHint = CloseHint(); };
    m_optionsClose->resize(180, 40);
}

TKoAppliMan::~TKoAppliMan() = default;

void TKoAppliMan::CloseLink(const QString& aLink)
{
    if (aLink.compare(QStringLiteral("closeAbout"), Qt::CaseInsensitive) == 0)
        caAbout->SetChecked(false);
    else if (aLink.compare(QStringLiteral("closeOptions"), Qt::CaseInsensitive) == 0)
        caOptions->SetChecked(false);
}

void TKoAppliMan::SetFrame(int aPage, QWidget* aFrame)
{
    m_frames[aPage] = aFrame;
    if (!aFrame)
        return;
    aFrame->setParent(m_pages[aPage]);
    aFrame->show();
    if (aPage == kOptions) {
        m_optionsClose->setParent(aFrame);
        m_optionsClose->setVisible(OptionsCloseVisible);
        aFrame->installEventFilter(this);
    }
    Centre(aPage);
}

void TKoAppliMan::SetOptionsFrame(QWidget* aFrame)
{
    SetFrame(kOptions, aFrame);
}

void TKoAppliMan::SetAboutFrame(QWidget* aFrame)
{
    SetFrame(kAbout, aFrame);
}

void TKoAppliMan::SetCustomFrame(QWidget* aFrame)
{
    SetFrame(kCustom, aFrame);
}

void TKoAppliMan::Centre(int aPage)
{
    QWidget* page = m_pages[aPage];
    page->setGeometry(m_client->rect());
    if (QWidget* frame = m_frames[aPage])
        frame->move((page->width() - frame->width()) / 2, (page->height() - frame->height()) / 2);
    if (aPage == kOptions && m_frames[kOptions])
        m_optionsClose->move(m_frames[kOptions]->width() - m_optionsClose->width() - 16,
                             m_frames[kOptions]->height() - m_optionsClose->height() - 16);
}

bool TKoAppliMan::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aEvent->type() == QEvent::Resize)
        for (int i = 0; i < kPageCount; ++i)
            if (aWatched == m_client || aWatched == m_pages[i] || aWatched == m_frames[i])
                Centre(i);
    return false;
}

void TKoAppliMan::ShowPage(int aPage, bool aOn)
{
    QWidget* frame = m_frames[aPage];
    if (!frame)
        return; // a page without a frame shows nothing
    if (!aOn) {
        m_pages[aPage]->hide();
        return;
    }
    Centre(aPage);
    m_pages[aPage]->show();
    m_pages[aPage]->raise();
}

QString TKoAppliMan::UsesText() const
{
    if (TitreUses.isEmpty())
        return QString();
    QStringList links;
    for (int i = 0; i < TitreUses.size(); ++i)
        links << QStringLiteral("<url %1>%2</url>").arg(UrlUses.value(i), TitreUses[i]);
    return QStringLiteral("Il utilise ") + links.join(QStringLiteral(", ")) +
           QStringLiteral(".<br><br>");
}

void TKoAppliMan::CreateActions()
{
    ::CreateActions(AppliManActionRows(), this);
}

void TKoAppliMan::FindActions()
{
    caScript = Get<TCheckAction>(QStringLiteral("caScript"));
    caHelp = Get<TCheckAction>(QStringLiteral("caHelp"));
    caAbout = Get<TCheckAction>(QStringLiteral("caAbout"));
    caOptions = Get<TCheckAction>(QStringLiteral("caOptions"));
    caCustom = Get<TCheckAction>(QStringLiteral("caCustom"));
    naQuit = Get<TNopeAction>(QStringLiteral("naQuit"));
    naEMail = Get<TNopeAction>(QStringLiteral("naEMail"));
    naHomePage = Get<TNopeAction>(QStringLiteral("naHomePage"));
    raFormSave = Get<TRectAction>(QStringLiteral("raFormSave"));
}

void TKoAppliMan::AssignHandlers()
{
    SetSwitch(m_switch);
    caScript->OnInternalTrueApply = [this] { m_script->ShowScript(); };
    caScript->OnInternalFalseApply = [this] { m_script->HideScript(); };
    m_script->OnClosed = [this] { caScript->ApplyChecked(false); };
    caHelp->OnInternalTrueApply = [this] {
        // The first time over the main window; then where the user left it.
        if (!std::exchange(m_helpPlaced, true))
            m_help->move(m_window->geometry().center() - m_help->rect().center());
        m_help->show();
        m_help->raise();
        m_help->activateWindow();
    };
    caHelp->OnInternalFalseApply = [this] { m_help->hide(); };
    m_help->OnClosed = [this] { caHelp->ApplyChecked(false); };

    caAbout->OnInternalTrueApply = [this] {
        caOptions->ApplyChecked(false);
        caCustom->ApplyChecked(false);
        if (OnFillAbout && m_frames[kAbout])
            OnFillAbout(CloseText(QStringLiteral("F11"), QStringLiteral("closeAbout")));
        ShowPage(kAbout, true);
    };
    caAbout->OnInternalFalseApply = [this] { ShowPage(kAbout, false); };
    caOptions->OnInternalTrueApply = [this] {
        caAbout->ApplyChecked(false);
        caCustom->ApplyChecked(false);
        ShowPage(kOptions, true);
    };
    caOptions->OnInternalFalseApply = [this] { ShowPage(kOptions, false); };
    caCustom->OnInternalTrueApply = [this] {
        ShowPage(kCustom, true);
        caAbout->ApplyChecked(false);
        caOptions->ApplyChecked(false);
    };
    caCustom->OnInternalFalseApply = [this] { ShowPage(kCustom, false); };

    naQuit->OnInternalApply = [this] { m_window->close(); };
    naEMail->SetEnabled(!MailAddress().isEmpty());
    naEMail->OnInternalApply = [] {
        if (MailAddress().isEmpty())
            return;
        QUrl mail(QStringLiteral("mailto:") + MailAddress());
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("subject"),
                           QStringLiteral("A propos de %1").arg(FullTitle()));
        query.addQueryItem(QStringLiteral("body"), QString());
        mail.setQuery(query);
        QDesktopServices::openUrl(mail); // a failure is not reported
    };
    naHomePage->SetEnabled(!HomePage().isEmpty());
    naHomePage->OnInternalApply = [] {
        QString page = HomePage();
        if (page.endsWith(u'©'))
            page.chop(1);
        if (!page.isEmpty())
            QDesktopServices::openUrl(QUrl(page));
    };

    raFormSave->OnInternalDefault = [this](TRect& aValue) {
        aValue = CentredDefault();
        return true;
    };
    raFormSave->OnInternalBeforeSave = [this](TRect& aValue) {
        aValue = BoundsOf(m_window->geometry());
        return true;
    };
    raFormSave->OnInternalApply = [this](const TRect& aValue) {
        PlaceWindow(m_window, aValue, CentredDefault());
    };
}

TRect TKoAppliMan::CentredDefault() const
{
    const QScreen* screen = m_window->screen();
    return CentredBounds(m_window->size(),
                         screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
}

void TKoAppliMan::PlaceWindow(QWidget* aWindow, const TRect& aStored, const TRect& aDefault)
{
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->availableGeometry();
    const QRect r = GeometryOf(UsableBounds(aStored, aDefault, screens));
    // Wayland places windows itself: only the size is ours there.
    if (QGuiApplication::platformName() == u"wayland")
        aWindow->resize(r.size());
    else
        aWindow->setGeometry(r);
}

void TKoAppliMan::ShareShortcuts(const QList<QAction*>& aMainActions)
{
    for (QWidget* window : {static_cast<QWidget*>(m_script), static_cast<QWidget*>(m_help)}) {
        QSet<QKeySequence> own;
        for (const QAction* a : window->actions())
            for (const QKeySequence& k : a->shortcuts())
                own << k;
        // A key bound twice in one window would do nothing at all.
        for (QAction* a : aMainActions) {
            bool taken = false;
            for (const QKeySequence& k : a->shortcuts())
                taken = taken || own.contains(k);
            if (!taken && !a->shortcuts().isEmpty())
                window->addAction(a);
        }
    }
}
