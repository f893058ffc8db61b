#include "app/ShowFormMenus.h"

#include "actions/TCustomAbstractAction.h"
#include "ui/uLinkEdit.h"

#include <QMenu>
#include <QMenuBar>

#include <span>

namespace {

// "-" is a separator; ">Title|hint" opens a submenu and "<" closes it.
using Items = std::span<const char* const>;

constexpr const char* kFichiers[] = {"waOpenFile", "naPasteFile", "naCloseFile", "-",
                                     "naRecent1",  "naRecent2",   "naRecent3",   "naRecent4",
                                     "naRecent5",  "naRecent6",   "naRecent7",   "naRecent8",
                                     "naRecent9",  "naRecent10"};
constexpr const char* kVideo[] = {"caFullscreen",
                                  "caPreviewForm",
                                  "caBasculerVue",
                                  "-",
                                  "caFlipVertical",
                                  "caFlipHorizontal",
                                  "-",
                                  "naForcerNormal",
                                  "naForcer4x3",
                                  "naForcer16x9",
                                  "naForcerNative",
                                  "-",
                                  "caMute"};
constexpr const char* kImages[] = {"naGrab",
                                   "naCopy",
                                   "-",
                                   "naBmpExtension",
                                   "naJpegExtension",
                                   "naAjouterTimeStamp",
                                   "naAjouterNumero",
                                   "naShowSaveImagesFrame"};
constexpr const char* kIncruster[] = {"caInsertTextOn",
                                      "-",
                                      "naInsertTimestamp",
                                      "naInsertNumero",
                                      "naInsertDatecode",
                                      "naInsertTimecode",
                                      "naInsertSysdateTime",
                                      "naInsertPerso",
                                      "-",
                                      "naShowIncrustFrame"};
constexpr const char* kAide[] = {"caHelp",  "caScript",   "caOptions",
                                 "caAbout", "naHomePage", "naQuit"};

struct Menu {
    const char* Title;
    Items Entries;
};
constexpr Menu kMainMenu[] = {{"Fichiers", kFichiers},
                              {"Vidéo", kVideo},
                              {"Images", kImages},
                              {"Incruster", kIncruster},
                              {"?", kAide}};

constexpr const char* kContext[] = {
    "naGrab",
    "naCopy",
    "-",
    "caFullscreen",
    "-",
    "naForcerNormal",
    "naForcerNative",
    "naForcer4x3",
    "naForcer16x9",
    "-",
    "caMute",
    "caInsertTextOn",
    "caFlipVertical",
    "caFlipHorizontal",
    "-",
    "caSliders",
    "-",
    ">Panneaux de réglages|Afficher les panneaux pour faire des réglages",
    "naShowSaveImagesFrame",
    "naShowExtraireFrame",
    "naShowIncrustFrame",
    "caOptions",
    "caScript",
    "caHelp",
    "caAbout",
    "<",
    "-",
    "naRecent1",
    "naRecent2",
    "naRecent3",
    "naRecent4",
    "-",
    "naQuit"};

constexpr const char* kBar[] = {"waOpenFile",
                                "naPasteFile",
                                "naCloseFile",
                                "|",
                                "naGrab",
                                "naCopy",
                                "caIntervalloShow",
                                "|",
                                "caFullscreen",
                                "caMute",
                                "caInsertTextOn",
                                "caFlipVertical",
                                "caFlipHorizontal",
                                "|",
                                "naShowIncrustFrame",
                                "naShowSaveImagesFrame",
                                "naShowDVIncrustFrame",
                                "naShowExtraireFrame",
                                "|",
                                "caHelp",
                                "caScript",
                                "caOptions",
                                "caAbout",
                                "naQuit"};

bool IsActionId(const QString& aEntry)
{
    return !aEntry.isEmpty() && aEntry != u"-" && aEntry != u"|" && aEntry != u"<" &&
           !aEntry.startsWith(u'>');
}

QStringList ActionIds(Items aEntries)
{
    QStringList ids;
    for (const char* entry : aEntries)
        if (const QString e = QString::fromUtf8(entry); IsActionId(e))
            ids << e;
    return ids;
}

// A separator only between two items.
void AddSeparator(QMenu& aMenu)
{
    const QList<QAction*> actions = aMenu.actions();
    if (!actions.isEmpty() && !actions.last()->isSeparator())
        aMenu.addSeparator();
}

void TrimSeparator(QMenu& aMenu)
{
    const QList<QAction*> actions = aMenu.actions();
    if (!actions.isEmpty() && actions.last()->isSeparator())
        aMenu.removeAction(actions.last());
}

void Fill(QMenu& aMenu, Items aEntries, const TActionLookup& aFind)
{
    QList<QMenu*> stack{&aMenu};
    for (const char* entry : aEntries) {
        const QString e = QString::fromUtf8(entry);
        QMenu& current = *stack.last();
        if (e == u"-") {
            AddSeparator(current);
        } else if (e.startsWith(u'>')) {
            QMenu* sub = current.addMenu(e.mid(1).section(u'|', 0, 0));
            sub->setToolTipsVisible(true);
            sub->menuAction()->setToolTip(e.section(u'|', 1));
            stack << sub;
        } else if (e == u"<") {
            TrimSeparator(current);
            stack.removeLast();
        } else if (TCustomAbstractAction* a = aFind(e)) {
            current.addAction(a->Action());
        }
    }
    TrimSeparator(aMenu);
}

} // namespace

void FillMenuBar(QMenuBar& aBar, const TActionLookup& aFind)
{
    for (const Menu& m : kMainMenu) {
        QMenu* menu = aBar.addMenu(QString::fromUtf8(m.Title));
        menu->setToolTipsVisible(true);
        Fill(*menu, m.Entries, aFind);
    }
}

void FillContextMenu(QMenu& aMenu, const TActionLookup& aFind)
{
    aMenu.setToolTipsVisible(true);
    Fill(aMenu, kContext, aFind);
}

QList<QWidget*> FillButtonBar(TKoBar& aBar, const TActionLookup& aFind)
{
    QList<QWidget*> separators;
    for (const char* entry : kBar) {
        const QString e = QString::fromUtf8(entry);
        if (e == u"|") {
            auto* sep = new TKoSeparator(&aBar);
            sep->setObjectName(QStringLiteral("sep%1").arg(separators.size() + 1));
            separators << sep;
        } else if (TCustomAbstractAction* a = aFind(e)) {
            auto* btn = new TKoImgBtn(&aBar);
            btn->SetAction(a);
            btn->SetShowCaption(false);
        }
    }
    return separators;
}

QStringList MenuBarActionIds()
{
    QStringList ids;
    for (const Menu& m : kMainMenu)
        ids << ActionIds(m.Entries);
    return ids;
}

QStringList ContextMenuActionIds()
{
    return ActionIds(kContext);
}

QStringList ButtonBarActionIds()
{
    return ActionIds(kBar);
}
