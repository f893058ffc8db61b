#pragma once

#include "app/TSideFrame.h"

#include <QColor>

#include <functional>

class QComboBox;
class QFontComboBox;
class QLineEdit;
class QMenu;
class QSpinBox;
class QToolButton;

// The side panel of the on-video text: style, colours, border, font and size, the insert
// buttons, alignment, placement, transparency and the two personal templates.
class TIncrusterFrame : public TSideFrame {
    Q_OBJECT
public:
    explicit TIncrusterFrame(QWidget* aParent = nullptr);

    // First tool bar.
    QToolButton* tbBold;
    QToolButton* tbItalic;
    QToolButton* tbUnderline;
    QToolButton* tbStrikeOut;
    QToolButton* ColorButton;
    QToolButton* tbBorder;
    QMenu* pmBorder; // items 0 to 5: the border width
    QToolButton* InsertColorButton;
    // Second tool bar.
    QFontComboBox* FontComboBox;
    QComboBox* cbSize;
    // The insert buttons: Timestamp, Numéro, Timecode, Datecode, Réel, Perso.
    QToolButton* InsertButtons[6];
    // Third tool bar.
    QToolButton* tbLeftAlign;
    QToolButton* tbCenter;
    QToolButton* tbRightAlign;
    QToolButton* tbSousTitre;
    QToolButton* tbSliders;
    QSpinBox* seTransparency;
    // The personal templates.
    QLineEdit* edPerso1;
    QLineEdit* edPerso2;

    // A colour picked for the text or the border (from the colour dialog, or a test).
    std::function<void(QColor)> OnFontColor;
    std::function<void(QColor)> OnBorderColor;
    std::function<void(int)> OnBorderWidth;

    // The swatch a colour button shows.
    static void ShowColor(QToolButton* aButton, QColor aColor);
    static QColor ShownColor(const QToolButton* aButton);
};
