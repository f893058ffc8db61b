#pragma once

#include <QFrame>

class QLabel;
class QVBoxLayout;

// A side panel of the main window: a title and, below it, the panel's own controls.
class TSideFrame : public QFrame {
    Q_OBJECT
public:
    TSideFrame(const QString& aName, const QString& aTitle, QWidget* aParent);

    QVBoxLayout* Body() const { return m_body; }

private:
    QLabel* m_title;
    QVBoxLayout* m_body;
};
