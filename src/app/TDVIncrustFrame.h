#pragma once

#include "app/TSideFrame.h"

// The side panel of the DV recording date.
class TDVIncrustFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TDVIncrustFrame(QWidget* aParent = nullptr);
};
