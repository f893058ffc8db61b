#include "ui/TObjetListBox.h"

#include "actions/ShortCut.h"
#include "actions/TCustomAbstractAction.h"

#include <QKeyEvent>

#include <algorithm>

const TSortOrder kSortAlpha{QStringLiteral("alpha"), QStringLiteral("par ordre alphabétique"),
                            QStringLiteral("tri alphabétique")};
const TSortOrder kSortShortcut{QStringLiteral("raccourci"), QStringLiteral("selon le raccourci"),
                               QStringLiteral("trié selon le raccourci")};
const TSortOrder kSortSwitch{QStringLiteral("switch"), QStringLiteral("selon le switch"),
                             QStringLiteral("trié selon le switch")};

namespace {

bool KeyLess(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

} // namespace

QString TAbstractListObjet::Key(const TSortOrder& aOrder) const
{
    return aOrder.Key == kSortAlpha.Key ? AlphaKey : QString();
}

TActionObjet::TActionObjet(TCustomAbstractAction* aAction)
    : m_action(aAction)
{
    Text = AlphaKey = aAction->ScriptName;
}

QString TActionObjet::Key(const TSortOrder& aOrder) const
{
    if (aOrder.Key == kSortShortcut.Key) {
        const TShortCut s = m_action->ShortCut();
        return (s == scNone ? QStringLiteral("zzz") : ShortCutToText(s)) + m_action->ScriptName;
    }
    if (aOrder.Key == kSortSwitch.Key)
        return (m_action->Switch.isEmpty() ? QStringLiteral("zzz") : m_action->Switch) +
               m_action->ScriptName;
    return TAbstractListObjet::Key(aOrder);
}

TObjetListBox::TObjetListBox(QWidget* aParent)
    : QListWidget(aParent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] { Refresh(); });
    connect(this, &QListWidget::currentRowChanged, this, [this] { Refresh(); });
}

TObjetListBox::~TObjetListBox() = default;

TAbstractListObjet* TObjetListBox::At(int aIndex) const
{
    return aIndex >= 0 && aIndex < Count() ? m_entries[size_t(aIndex)].get() : nullptr;
}

void TObjetListBox::Add(std::unique_ptr<TAbstractListObjet> aEntry, bool aSelect)
{
    if (!aEntry || (OnAccept && !OnAccept(*aEntry)))
        return;
    const QString key = aEntry->Key(SortIndex);
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key, KeyLess);
    const int row = int(at - m_keys.begin());
    if (at != m_keys.end() && !KeyLess(key, *at)) {
        // The same key: the later entry takes the place of the earlier one.
        if (m_active == m_entries[size_t(row)].get())
            m_active = aEntry.get();
        item(row)->setText(aEntry->Text);
        m_entries[size_t(row)] = std::move(aEntry);
    } else {
        const int current = currentRow();
        m_keys.insert(at, key);
        auto* shown = new QListWidgetItem(aEntry->Text);
        m_entries.insert(m_entries.begin() + row, std::move(aEntry));
        {
            const QSignalBlocker quiet(this);
            insertItem(row, shown);
            if (current >= 0 && row <= current && current + 1 < count())
                setCurrentRow(current + 1, QItemSelectionModel::NoUpdate);
        }
        if (aSelect)
            shown->setSelected(true);
    }
    if (Count() == 1)
        setCurrentRow(0);
    Refresh();
}

void TObjetListBox::Resort(const TSortOrder& aOrder)
{
    TAbstractListObjet* keep = Current();
    std::vector<std::unique_ptr<TAbstractListObjet>> all = std::move(m_entries);
    m_entries.clear();
    m_keys.clear();
    {
        const QSignalBlocker quiet(this);
        clear();
    }
    SortIndex = aOrder;
    for (auto& entry : all)
        Add(std::move(entry));
    SetCurrent(keep);
}

void TObjetListBox::SetCurrent(TAbstractListObjet* aEntry)
{
    for (int i = 0; i < Count(); ++i)
        if (m_entries[size_t(i)].get() == aEntry) {
            setCurrentRow(i);
            return;
        }
}

void TObjetListBox::Clear()
{
    {
        const QSignalBlocker quiet(this);
        clear();
    }
    m_entries.clear();
    m_keys.clear();
    Refresh();
}

QString TObjetListBox::SelectionText() const
{
    const int selected = int(selectedItems().size());
    if (selected < 2)
        return QStringLiteral("un item sélectionné sur %1").arg(Count());
    return QStringLiteral("%1 items sélectionnés sur %2").arg(selected).arg(Count());
}

void TObjetListBox::Refresh()
{
    if (OnCountsChange)
        OnCountsChange(int(selectedItems().size()), Count());
    TAbstractListObjet* now = Current();
    if (now != m_active) {
        m_active = now;
        if (OnActiveChange)
            OnActiveChange(now);
    }
}

void TObjetListBox::DeleteSelected()
{
    std::vector<int> rows;
    for (QListWidgetItem* i : selectedItems())
        rows.push_back(row(i));
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<>());
    {
        const QSignalBlocker quiet(this);
        for (int r : rows) {
            delete takeItem(r);
            if (m_active == m_entries[size_t(r)].get())
                m_active = nullptr;
            m_entries.erase(m_entries.begin() + r);
            m_keys.erase(m_keys.begin() + r);
        }
    }
    if (Count() > 0)
        setCurrentRow(qBound(0, rows.back() - 1, Count() - 1));
    Refresh();
}

void TObjetListBox::keyPressEvent(QKeyEvent* aEvent)
{
    const bool plain = !(aEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && aEvent->key() == Qt::Key_Delete && KeyDelete &&
        !(aEvent->modifiers() & Qt::ShiftModifier)) {
        DeleteSelected();
        return;
    }
    QListWidget::keyPressEvent(aEvent);
    Refresh();
}
