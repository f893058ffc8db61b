#pragma once

#include <QEvent>
#include <QFrame>
#include <QList>

// A bar that lines up its child widgets in one row, in the order they were added: image buttons
// and spacers. Adding, removing or resizing a child, and painting the bar, ask for a new layout;
// the requests of one turn of the event loop make one ArrangeButtons.
class TKoBar : public QFrame {
    Q_OBJECT
public:
    static constexpr int KB_RELAYOUT = 0x761A;
    static constexpr QEvent::Type kRelayoutEvent = QEvent::Type(QEvent::User + KB_RELAYOUT);

    explicit TKoBar(QWidget* aParent = nullptr);

    // The setters lay the row out at once.
    int ButtonHeight() const { return m_buttonHeight; }
    void SetButtonHeight(int aHeight);
    // Kept for the forms that set it; the layout does not use it.
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int aWidth);
    int ButtonMargin() const { return m_buttonMargin; }
    void SetButtonMargin(int aMargin);
    int ButtonTop() const { return m_buttonTop; }
    void SetButtonTop(int aTop);
    int ButtonSpacing() const { return m_buttonSpacing; }
    void SetButtonSpacing(int aSpacing);
    int ButtonMinWidth() const { return m_buttonMinWidth; }
    void SetButtonMinWidth(int aWidth);
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment aAlignment);

    // The widgets of the row, in the order they were added.
    QList<QWidget*> Controls() const;
    // Asks for a layout at the next turn of the event loop.
    void RequestLayout();
    bool LayoutPending() const { return m_layoutPending; }
    virtual void ArrangeButtons();

protected:
    bool event(QEvent* e) override;
    void childEvent(QChildEvent* e) override;
    bool eventFilter(QObject* aWatched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    int m_buttonHeight = 28;
    int m_buttonWidth = 28;
    int m_buttonMargin = 0;
    int m_buttonTop = 4;
    int m_buttonSpacing = 0;
    int m_buttonMinWidth = 0;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    // Registered when added; they may be only half built then, hence QObject.
    QList<QObject*> m_managed;
    bool m_layoutPending = false;
    bool m_arranging = false;
};
