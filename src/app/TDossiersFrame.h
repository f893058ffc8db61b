#pragma once

#include "app/TSideFrame.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;
class TWideDirectoryEdit;

// The image-saving side panel: folder, names and format of the saved images.
class TDossiersFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TDossiersFrame(QWidget* aParent = nullptr);

    TWideDirectoryEdit* deDossierSave;
    QRadioButton* rbUtiliserRacine;
    QRadioButton* rbUtiliserNomVideo;
    QLineEdit* NomRacineEdit;
    QCheckBox* cbLimiterLongueur;
    QSpinBox* RacineLengthEdit;
    QRadioButton* rbTimestamp;
    QRadioButton* rbNumero;
    QSpinBox* seNextNum;
    QSpinBox* DigitsEdit;
    QGroupBox* rgExtension;
    // Items 0 "bmp" and 1 "jpeg".
    QButtonGroup* ExtensionItems;
    QGroupBox* gbQuality;
    QSlider* TrackBar1;
    QLabel* labQuality;
};
