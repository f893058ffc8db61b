#include "actions/TImageList.h"

int TImageList::Add(const QIcon& aIcon)
{
    m_icons << aIcon;
    Q_EMIT Changed();
    return int(m_icons.size()) - 1;
}

void TImageList::Set(int aIndex, const QIcon& aIcon)
{
    if (aIndex < 0)
        return;
    if (aIndex >= m_icons.size())
        m_icons.resize(aIndex + 1);
    m_icons[aIndex] = aIcon;
    Q_EMIT Changed();
}

QIcon TImageList::Icon(int aIndex) const
{
    return aIndex >= 0 && aIndex < m_icons.size() ? m_icons.at(aIndex) : QIcon();
}
