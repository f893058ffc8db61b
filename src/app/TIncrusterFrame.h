#pragma once

#include "app/TSideFrame.h"

// The side panel of the on-video text.
class TIncrusterFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TIncrusterFrame(QWidget* aParent = nullptr);
};
