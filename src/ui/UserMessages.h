#pragma once

#include <QString>

class QWidget;

// Tells the user something went wrong: a message box for a person at the window, the standard
// error (and a failed exit status) for a run that quits by itself.
void WarnUser(QWidget* aParent, const QString& aText);
