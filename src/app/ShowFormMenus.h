#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QMenuBar;
class QWidget;
class TCustomAbstractAction;
class TKoBar;

// The menus and the button bar of the main window, from tables of action identifiers. An action
// that does not exist (yet) is left out; separators never double.
using TActionLookup = std::function<TCustomAbstractAction*(const QString&)>;

void FillMenuBar(QMenuBar& aBar, const TActionLookup& aFind);
void FillContextMenu(QMenu& aMenu, const TActionLookup& aFind);
// Answers the four spacers, whose widths the layout sets.
QList<QWidget*> FillButtonBar(TKoBar& aBar, const TActionLookup& aFind);

// The action identifiers each of them names, in table order (separators and submenus left out).
QStringList MenuBarActionIds();
QStringList ContextMenuActionIds();
QStringList ButtonBarActionIds();
