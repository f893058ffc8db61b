#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

// The pictures of actions, menus and buttons, by index.
class TImageList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    int Add(const QIcon& aIcon);
    void Set(int aIndex, const QIcon& aIcon);
    int Count() const { return int(m_icons.size()); }
    // An empty icon for an index outside the list.
    QIcon Icon(int aIndex) const;

Q_SIGNALS:
    void Changed();

private:
    QList<QIcon> m_icons;
};
