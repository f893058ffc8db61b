#pragma once

#include <QToolButton>

class TCustomAbstractAction;

// A flat image button bound to an action: the action gives its image, hint, state and caption;
// the caption shows only while ShowCaption is true, and follows the action's changes.
class TKoImgBtn : public QToolButton {
    Q_OBJECT
public:
    explicit TKoImgBtn(QWidget* aParent = nullptr);

    // Binds the button to the action's QAction (nullptr unbinds).
    void SetAction(TCustomAbstractAction* aAction);
    TCustomAbstractAction* Action() const;

    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool aShow);
    // The remembered caption, shown or not.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& aCaption);
    // Remembers the current text when there is one and shows it only while ShowCaption is on.
    void RefreshCaption();

protected:
    void actionEvent(QActionEvent* e) override;

private:
    bool m_showCaption = false;
    QString m_caption;
};
