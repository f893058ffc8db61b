#pragma once

#include <QListWidget>

#include <functional>
#include <memory>
#include <vector>

class TCustomAbstractAction;

// An order of a list box: its key names it, the two texts describe it.
struct TSortOrder {
    QString Key;
    QString Description;
    QString Short;
};
extern const TSortOrder kSortAlpha;
extern const TSortOrder kSortShortcut;
extern const TSortOrder kSortSwitch;

// An entry of a TObjetListBox: what it shows and what it sorts by.
class TAbstractListObjet {
public:
    virtual ~TAbstractListObjet() = default;
    QString Text;
    QString AlphaKey;
    // Its key in aOrder: the alphabetical key text for "alpha", nothing for any other order.
    virtual QString Key(const TSortOrder& aOrder) const;
};

// An entry for one typed action (not owned), shown and sorted by its script name.
class TActionObjet : public TAbstractListObjet {
public:
    explicit TActionObjet(TCustomAbstractAction* aAction);
    TCustomAbstractAction* Action() const { return m_action; }
    // "raccourci": the shortcut's text or "zzz", then the script name; "switch": the same with
    // the switch.
    QString Key(const TSortOrder& aOrder) const override;

private:
    TCustomAbstractAction* m_action;
};

// A multi-selection list of entries kept in the order of their keys for the current sort order,
// compared without case; an entry whose key is already there replaces the one that had it. Owns
// its entries.
class TObjetListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TObjetListBox(QWidget* aParent = nullptr);
    ~TObjetListBox() override;

    TSortOrder SortIndex = kSortAlpha;
    bool KeyDelete = false;
    bool SelectionnerOuverts = false;
    std::function<void(int, int)> OnCountsChange;            // selected, count
    std::function<void(TAbstractListObjet*)> OnActiveChange; // null when none
    std::function<bool(const TAbstractListObjet&)> OnAccept; // false refuses an entry

    // Adds aEntry (taking it) unless refused; aSelect selects it.
    void Add(std::unique_ptr<TAbstractListObjet> aEntry, bool aSelect = false);
    // Puts every entry back in the order of aOrder; the current entry stays current.
    void Resort(const TSortOrder& aOrder);
    void Clear();
    int Count() const { return int(m_entries.size()); }
    TAbstractListObjet* At(int aIndex) const;
    TAbstractListObjet* Current() const { return At(currentRow()); }
    void SetCurrent(TAbstractListObjet* aEntry);
    // "un item sélectionné sur %d" or "%d items sélectionnés sur %d".
    QString SelectionText() const;

protected:
    void keyPressEvent(QKeyEvent* aEvent) override;

private:
    void Refresh();
    void DeleteSelected();

    std::vector<QString> m_keys; // sorted without case, one to one with the rows
    std::vector<std::unique_ptr<TAbstractListObjet>> m_entries;
    TAbstractListObjet* m_active = nullptr;
};
