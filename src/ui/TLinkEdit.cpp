#include "ui/TLinkEdit.h"

#include "actions/ActionColors.h"

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

namespace {

int ClampedPointSize(int aSize)
{
    return std::clamp(aSize, TLinkEdit::kMinPointSize, TLinkEdit::kMaxPointSize);
}

Qt::Alignment BreakAlignment(const QString& aArg, Qt::Alignment aDefault)
{
    if (aArg == u"LEFT")
        return Qt::AlignLeft;
    if (aArg == u"RIGHT")
        return Qt::AlignRight;
    if (aArg == u"CENTER")
        return Qt::AlignHCenter;
    return aDefault;
}

} // namespace

TLinkEdit::TLinkEdit(QWidget* aParent)
    : QTextEdit(aParent)
{
    setReadOnly(true);
    document()->setUndoRedoEnabled(false);
    viewport()->setMouseTracking(true);
    m_viewportCursor = viewport()->cursor();
    SetAlignment(m_alignment);
    ResetAttributes();
}

void TLinkEdit::SetFontColor(TColor aColor)
{
    m_fontColor = aColor;
    m_attributes.Color = aColor;
}

void TLinkEdit::SetAlignment(Qt::Alignment aAlignment)
{
    m_alignment = aAlignment & Qt::AlignHorizontal_Mask;
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(m_alignment);
    document()->setDefaultTextOption(option);
}

void TLinkEdit::ResetAttributes()
{
    const QFont f = font();
    m_attributes = TLinkAttributes{};
    m_attributes.Bold = f.bold();
    m_attributes.Italic = f.italic();
    m_attributes.Underline = f.underline();
    m_attributes.StrikeOut = f.strikeOut();
    m_attributes.Color = m_fontColor;
    m_attributes.Size = ClampedPointSize(QFontInfo(f).pointSize());
    m_attributes.FontName = ControlFontName();
}

// Runs name the face the control's font resolves to, not a generic alias such as "Sans Serif".
QString TLinkEdit::ControlFontName() const
{
    return QFontInfo(font()).family();
}

void TLinkEdit::SetRichText(const QString& aRichText)
{
    // One repaint for the whole text, not one per run.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    m_richText = aRichText;
    m_markup = TLinkMarkup(aRichText);
    const TLinkMarkup& markup = m_markup;
    HideLinkHint();

    // First the shown text, then each run gets the attributes in force at its start.
    setPlainText(markup.PlainText());
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    TLinkAttributes saved;
    bool hasSaved = false;
    int p = 0;
    int from = 0;
    for (const TMarkupToken& t : markup.Tokens()) {
        if (!t.IsTag) {
            p += int(t.Text.size());
            continue;
        }
        const bool isBreak = TLinkMarkup::IsBreak(t.Tag);
        if (isBreak)
            ++p;
        FormatRange(cursor, from, p);
        if (isBreak)
            AlignLine(cursor, from, p - 1, BreakAlignment(t.Tag.Arg, m_alignment));
        ApplyTag(t.Tag, saved, hasSaved);
        from = p;
    }
    FormatRange(cursor, from, p);
    cursor.endEditBlock();
    setUpdatesEnabled(updates);
}

void TLinkEdit::FormatRange(QTextCursor& aCursor, int aFrom, int aTo) const
{
    if (aTo <= aFrom)
        return;
    const TLinkAttributes& a = m_attributes;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{a.FontName});
    f.setFontPointSize(a.Size);
    f.setFontWeight(a.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(a.Italic);
    f.setFontUnderline(a.Underline);
    f.setFontStrikeOut(a.StrikeOut);
    f.setForeground(ColorToQColor(a.Color));
    aCursor.setPosition(aFrom);
    aCursor.setPosition(aTo, QTextCursor::KeepAnchor);
    aCursor.setCharFormat(f);
}

// The alignment of a BR is that of the line it ends.
void TLinkEdit::AlignLine(QTextCursor& aCursor, int aFrom, int aBreak,
                          Qt::Alignment aAlignment) const
{
    QTextBlockFormat f;
    f.setAlignment(aAlignment);
    aCursor.setPosition(aFrom);
    aCursor.setPosition(aBreak, QTextCursor::KeepAnchor);
    aCursor.mergeBlockFormat(f);
}

void TLinkEdit::ApplyTag(const TMarkupTag& aTag, TLinkAttributes& aSaved, bool& aHasSaved)
{
    TLinkAttributes& a = m_attributes;
    const QString& n = aTag.Name;
    if (n == u"B" || n == u"/B") {
        a.Bold = n.size() == 1;
    } else if (n == u"I" || n == u"/I") {
        a.Italic = n.size() == 1;
    } else if (n == u"U" || n == u"/U") {
        a.Underline = n.size() == 1;
    } else if (n == u"S" || n == u"/S") {
        a.StrikeOut = n.size() == 1;
    } else if (n == u"COLOR") {
        TLinkMarkup::ColorByName(aTag.Arg, a.Color);
    } else if (n == u"/COLOR") {
        a.Color = m_fontColor;
    } else if (n == u"SIZE") {
        bool ok = false;
        const qlonglong size = aTag.Arg.toLongLong(&ok);
        a.Size = int(std::clamp<qlonglong>(ok ? size : 0, kMinPointSize, kMaxPointSize));
    } else if (n == u"/SIZE") {
        a.Size = ClampedPointSize(QFontInfo(font()).pointSize());
    } else if (n == u"FONT") {
        a.FontName = aTag.Arg.isEmpty() ? ControlFontName() : aTag.Arg;
    } else if (n == u"/FONT") {
        a.FontName = ControlFontName();
    } else if (const TLinkKind opened = TLinkMarkup::OpenedLink(n); opened != lkNone) {
        // The three kinds share one remembered colour and style: links do not nest.
        aSaved = a;
        aHasSaved = true;
        a.Color = opened == lkUrl ? m_urlColor : opened == lkMail ? m_mailColor : m_linkColor;
        a.Underline = true;
    } else if (TLinkMarkup::ClosedLink(n) != lkNone) {
        if (aHasSaved) {
            a.Bold = aSaved.Bold;
            a.Italic = aSaved.Italic;
            a.Underline = aSaved.Underline;
            a.StrikeOut = aSaved.StrikeOut;
            a.Color = aSaved.Color;
            aHasSaved = false;
        }
    }
}

int TLinkEdit::CharFromPos(const QPoint& aPos) const
{
    const QPointF doc =
        QPointF(aPos) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QTextDocument* d = document();
    const int nearest = d->documentLayout()->hitTest(doc, Qt::FuzzyHit);
    if (nearest < 0)
        return -1;
    const QTextBlock block = d->findBlock(nearest);
    const QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
    if (!layout)
        return -1;
    const QPointF local = doc - layout->position();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF r = line.rect();
        if (local.y() < r.top() || local.y() >= r.bottom())
            continue;
        if (line.textLength() <= 0)
            return -1;
        // The ends of the line as drawn, after its alignment.
        const qreal a = line.cursorToX(line.textStart());
        const qreal b = line.cursorToX(line.textStart() + line.textLength());
        if (local.x() < std::min(a, b) || local.x() >= std::max(a, b))
            return -1;
        const int at = std::clamp(line.xToCursor(local.x(), QTextLine::CursorOnCharacter),
                                  line.textStart(), line.textStart() + line.textLength() - 1);
        return block.position() + at;
    }
    return -1;
}

TLinkSpan TLinkEdit::LinkAt(const QPoint& aPos) const
{
    const int index = CharFromPos(aPos);
    return index < 0 ? TLinkSpan{} : m_markup.LinkAt(index);
}

void TLinkEdit::mouseReleaseEvent(QMouseEvent* e)
{
    QTextEdit::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    const TLinkSpan link = LinkAt(e->position().toPoint());
    const TLinkClickEvent& click = link.Kind == lkUrl    ? OnUrlClick
                                   : link.Kind == lkMail ? OnMailClick
                                                         : OnCustomLinkClick;
    if (link.Kind != lkNone && click)
        click(link.Target);
}

void TLinkEdit::mouseMoveEvent(QMouseEvent* e)
{
    QTextEdit::mouseMoveEvent(e);
    const TLinkSpan link = LinkAt(e->position().toPoint());
    const TLinkHintEvent none;
    const TLinkHintEvent& hintEvent = link.Kind == lkUrl      ? OnUrlHint
                                      : link.Kind == lkMail   ? OnMailHint
                                      : link.Kind == lkCustom ? OnCustomLinkHint
                                                              : none;
    if (link.Kind != lkNone && (m_useInternalCursor || hintEvent))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->setCursor(m_useInternalCursor ? QCursor(Qt::IBeamCursor) : m_viewportCursor);
    // A link of a kind without hints must not keep the hint of the link before.
    if (!hintEvent) {
        HideLinkHint();
        return;
    }
    QString hint;
    hintEvent(link.Target, hint);
    if (QToolTip::isVisible() && hint != toolTip())
        QToolTip::showText(e->globalPosition().toPoint(), hint, this);
    setToolTip(hint);
    m_hintShown = true;
}

void TLinkEdit::HideLinkHint()
{
    if (!m_hintShown)
        return;
    m_hintShown = false;
    setToolTip(QString());
    QToolTip::hideText();
}

void TLinkEdit::changeEvent(QEvent* e)
{
    QTextEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        ResetAttributes();
}
