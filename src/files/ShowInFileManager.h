#pragma once

#include <QString>

// Shows a file selected in the desktop's file manager (org.freedesktop.FileManager1.ShowItems
// over D-Bus); when no file manager answers, or the file does not exist, opens its folder.
// Returns at once: the answer is awaited in the event loop.
void ShowInFileManager(const QString& aPath);
