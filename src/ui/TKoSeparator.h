#pragma once

#include <QFrame>

// A flat spacer of a button bar: no caption, no bevel, no border; its width spreads the groups.
class TKoSeparator : public QFrame {
    Q_OBJECT
public:
    explicit TKoSeparator(QWidget* aParent = nullptr);
};
