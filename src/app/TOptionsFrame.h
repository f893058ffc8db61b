#pragma once

#include <QFrame>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class TRadioGroup;

// The content of the options page: where the preferences are kept, the usual settings and the
// advanced ones.
class TOptionsFrame : public QFrame {
    Q_OBJECT
public:
    explicit TOptionsFrame(QWidget* aParent = nullptr);

    QTabWidget* Pages;
    TRadioGroup* rgPrefs;
    TRadioGroup* rgForcerAspectRatio;
    QCheckBox* cbRAZwhenOpenFile;
    QCheckBox* cbSauverQuandClic;
    QCheckBox* cbConfirmerImage;
    QCheckBox* cbUsePrivateFilters;
    QLineEdit* dePrivateFolder;
    QPushButton* dePrivateFolderBrowse;
    QCheckBox* cbImagesDeInterlacer;
    QCheckBox* cbNavPrecise;
    QSpinBox* seSeekPrepos;
};
