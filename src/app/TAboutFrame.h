#pragma once

#include <QFrame>

class QLabel;

// The content of the about page: the program's title and what it is.
class TAboutFrame : public QFrame {
    Q_OBJECT
public:
    explicit TAboutFrame(QWidget* aParent = nullptr);

    QLabel* TitleLab;
    QLabel* InfoLab;
};
