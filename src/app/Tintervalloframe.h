#pragma once

#include <QFrame>

class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QToolButton;

// The interval capture bar under the video: the delay, its unit, the on/off switch and the
// number of images left.
class Tintervalloframe : public QFrame {
    Q_OBJECT
public:
    explicit Tintervalloframe(QWidget* aParent = nullptr);

    QGroupBox* GroupBox1;
    QSpinBox* RxSpinEdit7;
    QComboBox* cboxIntervallo;
    QToolButton* RxSwitch1;
    QLabel* chronolab;
};
