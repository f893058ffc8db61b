#pragma once

#include <QFrame>

// The interval capture bar under the video.
class Tintervalloframe : public QFrame {
    Q_OBJECT
public:
    explicit Tintervalloframe(QWidget* aParent = nullptr);
};
