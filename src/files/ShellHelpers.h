#pragma once

#include <QString>

// Small operations on files and the desktop shell shared by the title bar, the file manager and
// the image naming.

// Shows a file selected in the desktop's file manager (org.freedesktop.FileManager1.ShowItems
// over D-Bus); when no file manager answers, or the file does not exist, opens its folder.
// Returns at once: the answer is awaited in the event loop. Failures are silent.
// aConnection names a registered D-Bus connection; empty is the session bus.
void ShowInExplorer(const QString& aPath, const QString& aConnection = QString());

// The user's pictures folder (XDG_PICTURES_DIR), else the home folder; no trailing slash.
QString PictureFolder();

// A text value of the current user's registry hive, read without write access; any failure
// (no hive, key or value missing, another type, busy) gives an empty text. One terminating
// zero character is dropped. aHiveFile empty is the default hive.
QString ReadRegString(const QString& aKeyPath, const QString& aValueName,
                      const QString& aHiveFile = QString());
