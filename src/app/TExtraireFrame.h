#pragma once

#include "app/TSideFrame.h"

class QFrame;
class QLabel;

// The side panel with the thumbnail of the last grab: its time, its saved size and its file name.
// The window places the controls itself (PlaceThumbnail), so they sit outside the title layout.
class TExtraireFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TExtraireFrame(QWidget* aParent = nullptr);

    QFrame* Bevel1;
    QLabel* SnapLab;
    QLabel* labImagetteTaille;
    QLabel* Image;
    QFrame* Bevel3;
    QLabel* labsnapname;
};
