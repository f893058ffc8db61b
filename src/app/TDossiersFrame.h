#pragma once

#include "app/TSideFrame.h"

// The image-saving side panel: folder, names and format of the saved images.
class TDossiersFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TDossiersFrame(QWidget* aParent = nullptr);
};
