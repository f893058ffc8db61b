#pragma once

#include <QGroupBox>

class QButtonGroup;

// A titled group of radio buttons with an item index (-1 for none), like the options page uses.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& aTitle, const QStringList& aItems, QWidget* aParent = nullptr);

    int ItemIndex() const;
    // Checks that item without raising Clicked.
    void SetItemIndex(int aIndex);

Q_SIGNALS:
    // The user chose an item.
    void Clicked(int aIndex);

private:
    QButtonGroup* m_group;
};
