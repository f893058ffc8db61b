#pragma once

#include <QList>
#include <QString>

class TCustomKoActionList;

// What "tessarine --help" prints, and the manual page built from the same lists: every switch
// of aLists in the order of the help window's switch sort, its syntax and its hint.
QString CommandLineHelp(const QList<TCustomKoActionList*>& aLists);
QString ManualPage(const QList<TCustomKoActionList*>& aLists);
