#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class TLinkEdit;
class TVideoMan;

// A window the video is shown in: it paints the video manager's picture, or its idle display
// (a markup text and a picture) when there is no video. The main window's video panel, the
// full-screen window and the preview window are each one.
class TVideoPanel : public QWidget {
    Q_OBJECT
public:
    TVideoPanel(TVideoMan* aVideo, QWidget* aParent = nullptr);

    // Only the host in use paints the picture; the others show their own colour.
    void SetActive(bool aActive);
    bool Active() const { return m_active; }
    QColor HostColor() const;
    // Places the idle display (after a resize or a change of state).
    void Relayout();
    // A new frame or a new state: repaint, and show or hide the idle display.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;

private:
    QPointer<TVideoMan> m_video;
    TLinkEdit* m_label;
    QLabel* m_image;
    int m_shownState = -1;
    bool m_active = true;
};
