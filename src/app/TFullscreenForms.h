#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QTimer;
class TVideoMan;
class TVideoPanel;

// The full-screen window: borderless on the monitor of the video, with a hint that tells how to
// leave. Closing it only hides it, and says so (the full-screen command is unchecked).
class Tplaque : public QWidget {
    Q_OBJECT
public:
    Tplaque(TVideoMan* aVideo, QWidget* aParent = nullptr);

    TVideoPanel* Panel() const { return m_panel; }
    QLabel* PanelQuit() const { return m_hint; }
    std::function<void()> OnClosed;
    // Shows it on the monitor of aNear, with the hint for aHintMs (0: no hint).
    void ShowOn(QWidget* aNear, int aHintMs);
    // The full-screen background, at once.
    void SetBackColor(const QColor& aColor);

protected:
    void closeEvent(QCloseEvent* aEvent) override;
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;

private:
    TVideoPanel* m_panel;
    QLabel* m_hint;
    QTimer* m_hintTimer;
};

// The preview window: the video alone in a window of its own, whose bounds are kept.
class TPreviewForm : public QWidget {
    Q_OBJECT
public:
    TPreviewForm(TVideoMan* aVideo, QWidget* aParent = nullptr);

    TVideoPanel* Panel() const { return m_panel; }
    std::function<void()> OnClosed;

protected:
    void closeEvent(QCloseEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;

private:
    TVideoPanel* m_panel;
};
