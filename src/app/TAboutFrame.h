#pragma once

#include <QFrame>

class QLabel;
class TLinkEdit;

// The content of the about page: the program's title, what it is and what it uses, and the
// link that closes the page.
class TAboutFrame : public QFrame {
    Q_OBJECT
public:
    explicit TAboutFrame(QWidget* aParent = nullptr);

    QLabel* TitleLab;
    TLinkEdit* InfoLab;
    TLinkEdit* CloseLab;
};
