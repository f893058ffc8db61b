#pragma once

#include <QString>
#include <QStringList>

// The extensions the main window opens as videos, lower case without the dot, in the order the
// open dialog lists them.
const QStringList& VideoExtensions();
// aLowerExt with its dot, as the file manager gives it: ".avi".
bool IsVideoExtension(const QString& aLowerExt);
// The open dialog's filter, in the Windows form the file manager takes.
QString VideoFilter();
