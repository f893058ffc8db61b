#pragma once

#include <QFrame>

// The navigation bar under the video: step buttons, play, position and duration, volume.
class Tnavframe : public QFrame {
    Q_OBJECT
public:
    explicit Tnavframe(QWidget* aParent = nullptr);
};
