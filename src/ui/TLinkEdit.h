#pragma once

#include "ui/TLinkMarkup.h"

#include <QCursor>
#include <QTextEdit>

#include <functional>

class QTextCursor;

// The text attributes the markup tags switch.
struct TLinkAttributes {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = TColor(0xFF000008); // window text
    int Size = 9;                      // points
    QString FontName;
};

// A read-only rich text filled from the markup of TLinkMarkup: bold, italic, underline and
// strike-out runs, named colours, font name and size, line breaks with alignment, and web,
// e-mail and custom links that raise their events when clicked.
class TLinkEdit : public QTextEdit {
    Q_OBJECT
public:
    using TLinkHintEvent = std::function<void(const QString& link, QString& linkhint)>;
    using TLinkClickEvent = std::function<void(const QString& link)>;

    // Sizes beyond these make no sense on screen and only slow the layout down.
    static constexpr int kMinPointSize = 1;
    static constexpr int kMaxPointSize = 200;
    static constexpr TColor kNavy = 0x800000;

    explicit TLinkEdit(QWidget* aParent = nullptr);

    TLinkHintEvent OnUrlHint;
    TLinkHintEvent OnMailHint;
    TLinkHintEvent OnCustomLinkHint;
    TLinkClickEvent OnUrlClick;
    TLinkClickEvent OnMailClick;
    TLinkClickEvent OnCustomLinkClick;

    QString RichText() const { return m_richText; }
    // Rebuilds the shown text and its formatting. The attributes the text leaves switched on
    // (an unclosed bold, a colour) are in force at the start of the next text.
    void SetRichText(const QString& aRichText);

    TColor UrlColor() const { return m_urlColor; }
    void SetUrlColor(TColor aColor) { m_urlColor = aColor; }
    TColor MailColor() const { return m_mailColor; }
    void SetMailColor(TColor aColor) { m_mailColor = aColor; }
    TColor LinkColor() const { return m_linkColor; }
    void SetLinkColor(TColor aColor) { m_linkColor = aColor; }
    bool UseInternalCursor() const { return m_useInternalCursor; }
    void SetUseInternalCursor(bool aUse) { m_useInternalCursor = aUse; }

    // The font colour: the text colour after "</COLOR>" and of plain text.
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor aColor);
    // The paragraph alignment of lines without an aligned BR.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment aAlignment);

    // The attributes the next text starts with.
    const TLinkAttributes& DefAttributes() const { return m_attributes; }
    // Back to the control's font and font colour, no style.
    void ResetAttributes();

    // The character under a point of the viewport, or -1 off the text.
    int CharFromPos(const QPoint& aPos) const;
    // The link under a point of the viewport (kind lkNone when there is none).
    TLinkSpan LinkAt(const QPoint& aPos) const;
    const QList<TLinkSpan>& Links() const { return m_markup.Links(); }
    // Whether the hint of a link under the mouse is on.
    bool LinkHintShown() const { return m_hintShown; }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void FormatRange(QTextCursor& aCursor, int aFrom, int aTo) const;
    void AlignLine(QTextCursor& aCursor, int aFrom, int aBreak, Qt::Alignment aAlignment) const;
    void ApplyTag(const TMarkupTag& aTag, TLinkAttributes& aSaved, bool& aHasSaved);
    void HideLinkHint();
    QString ControlFontName() const;

    QString m_richText;
    TColor m_urlColor = kNavy;
    TColor m_mailColor = kNavy;
    TColor m_linkColor = kNavy;
    bool m_useInternalCursor = false;
    TColor m_fontColor = TColor(0xFF000008);
    Qt::Alignment m_alignment = Qt::AlignLeft;
    TLinkAttributes m_attributes;
    TLinkMarkup m_markup{QString()};
    QCursor m_viewportCursor;
    bool m_hintShown = false;
};
