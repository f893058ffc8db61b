#pragma once

#include "app/TSideFrame.h"

// The side panel with the thumbnail of the last grab.
class TExtraireFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TExtraireFrame(QWidget* aParent = nullptr);
};
