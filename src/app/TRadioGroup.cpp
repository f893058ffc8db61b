#include "app/TRadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& aTitle, const QStringList& aItems, QWidget* aParent)
    : QGroupBox(aTitle, aParent)
    , m_group(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < aItems.size(); ++i) {
        auto* b = new QRadioButton(aItems.at(i), this);
        m_group->addButton(b, i);
        layout->addWidget(b);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &TRadioGroup::Clicked);
}

int TRadioGroup::ItemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int aIndex)
{
    const QSignalBlocker block(m_group);
    if (QAbstractButton* b = m_group->button(aIndex)) {
        b->setChecked(true);
        return;
    }
    // No item: uncheck all, which an exclusive group does not allow by itself.
    m_group->setExclusive(false);
    for (QAbstractButton* b : m_group->buttons())
        b->setChecked(false);
    m_group->setExclusive(true);
}
