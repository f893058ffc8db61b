#pragma once

#include "app/TSideFrame.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The side panel of the DV recording date: the date read in the video, the offset added to it
// (whole hours, or any amount typed as the date to show) and the date formats of the two lines.
class TDVIncrustFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TDVIncrustFrame(QWidget* aParent = nullptr);

    // The date and time the advanced boxes show, in days since 30 December 1899.
    double DisplayedDate() const;
    // Writes the advanced boxes without a change signal: half-filled, they would derive a wrong
    // offset.
    void ShowCorrectedDate(double aDate);

    // Days since 30 December 1899: the recorded date of the frame last examined (or the
    // fictitious one), and video date + offset as last shown in the advanced mode.
    double VideoDate = 0;
    double CorrectedDate = 0;

    // Run each time the panel is shown.
    std::function<void()> OnShown;

    QLabel* labVideodate;
    QLabel* labDecalage;
    QLabel* labDecalageHoraire;
    QCheckBox* cbDecalageAvance;
    QWidget* PanelHeures;
    QSpinBox* seDecalerHeures;
    QWidget* PanelAvance;
    QGroupBox* gbDateAffichee;
    QDateEdit* DateEdit1;
    QSpinBox* seHeure;
    QSpinBox* seMinute;
    QSpinBox* seSeconde;
    QPushButton* resetBtn;
    QGroupBox* gbFormatDatecode;
    QComboBox* cbDatecode1;
    QComboBox* cbDatecode2;

protected:
    void showEvent(QShowEvent* aEvent) override;
};
