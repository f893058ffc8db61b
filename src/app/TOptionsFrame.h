#pragma once

#include <QFrame>

class QCheckBox;
class QSpinBox;
class QTabWidget;
class TRadioGroup;
class TWideDirectoryEdit;

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
    TWideDirectoryEdit* dePrivateFolder;
    QCheckBox* cbImagesDeInterlacer;
    QCheckBox* cbNavPrecise;
    QSpinBox* seSeekPrepos;
};
