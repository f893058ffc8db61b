#pragma once

#include "prefs/TDravikPreferences.h"

#include <QDialog>

class QPushButton;
class TLinkEdit;

// The save-at-exit question: where to keep the preferences (registry, ini file beside the
// program, nowhere). Closing it with the window button makes no choice.
class TSavePrefsForm : public QDialog, public TPrefsQuestion {
    Q_OBJECT
public:
    explicit TSavePrefsForm(QWidget* aParent = nullptr);

    std::optional<TSavePreferences> AskSaveMode(const QString& aCaption) override;
    void Warn(const QString& aText) override;

    // The choice of the last showing, when one was made.
    std::optional<TSavePreferences> Choice() const { return m_choice; }
    void Choose(TSavePreferences aMode);

    TLinkEdit* Label;
    QPushButton* btNormal;
    QPushButton* btPortable;
    QPushButton* btAucun;

private:
    std::optional<TSavePreferences> m_choice;
};
