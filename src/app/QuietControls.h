#pragma once

#include <QAbstractButton>
#include <QSignalBlocker>
#include <QSpinBox>

// Controls written from their actions: only on a change, and quietly, so that an edit keeps its
// cursor and a control never answers itself by setting its action again.

// The box's text as an integer, 0 when it is not one (an emptied box).
inline int SpinTextValue(const QSpinBox* aBox)
{
    bool ok = false;
    const int v = aBox->text().trimmed().toInt(&ok);
    return ok ? v : 0;
}

inline void SetCheckedQuietly(QAbstractButton* aButton, bool aOn)
{
    if (aButton->isChecked() == aOn)
        return;
    const QSignalBlocker quiet(aButton);
    aButton->setChecked(aOn);
}

inline void SetValueQuietly(QSpinBox* aBox, int aValue)
{
    if (SpinTextValue(aBox) == aValue)
        return;
    const QSignalBlocker quiet(aBox);
    aBox->setValue(aValue);
}
