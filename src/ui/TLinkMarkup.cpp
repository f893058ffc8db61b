#include "ui/TLinkMarkup.h"

#include <array>

namespace {

struct TNamedColor {
    const char16_t* Name;
    quint32 Value;
};

constexpr std::array<TNamedColor, 24> kColors{{
    {u"RED", 0x0000FF},     {u"GREEN", 0x008000},      {u"YELLOW", 0x00FFFF},
    {u"BLUE", 0xFF0000},    {u"BLACK", 0x000000},      {u"WHITE", 0xFFFFFF},
    {u"AQUA", 0xFFFF00},    {u"DKGRAY", 0x808080},     {u"OLIVE", 0x008080},
    {u"PURPLE", 0x800080},  {u"FUCHSIA", 0xFF00FF},    {u"GRAY", 0x808080},
    {u"LIME", 0x00FF00},    {u"MAROON", 0x000080},     {u"NAVY", 0x800000},
    {u"LTGRAY", 0xC0C0C0},  {u"MEDGRAY", 0xA4A0A0},    {u"SILVER", 0xC0C0C0},
    {u"TEAL", 0x808000},    {u"MONEYGREEN", 0xC0DCC0}, {u"CREAM", 0xF0FBFF},
    {u"SKYBLUE", 0xF0CAA6}, {u"BTNFACE", 0xFF00000F},  {u"APPWORKSPACE", 0xFF00000C},
}};

// Characters the text document would take for structure (frames, embedded objects) or would
// merge, which would shift every position after them.
QChar Shown(QChar c)
{
    switch (c.unicode()) {
    case 0x0000:
    case 0xFDD0:
    case 0xFDD1:
    case 0xFFFC:
        return QChar(0xFFFD);
    case u'\r':
        return QChar(u'\n');
    default:
        return c;
    }
}

TMarkupTag ParseTag(const QString& aContent)
{
    TMarkupTag tag;
    const qsizetype space = aContent.indexOf(u' ');
    if (space < 0) {
        tag.Name = aContent.trimmed().toUpper();
    } else {
        tag.Name = aContent.left(space).trimmed().toUpper();
        tag.RawArg = aContent.mid(space + 1).trimmed();
        tag.Arg = tag.RawArg.toUpper();
    }
    return tag;
}

} // namespace

TLinkMarkup::TLinkMarkup(const QString& aRichText)
{
    Tokenize(aRichText);
    FindLinks();
}

void TLinkMarkup::Tokenize(const QString& aRichText)
{
    const qsizetype n = aRichText.size();
    QString text;
    bool afterCr = false;
    auto addText = [&](QChar c) {
        // A CR LF pair is one line end, as a lone CR or LF is.
        if (c == u'\n' && afterCr) {
            afterCr = false;
            return;
        }
        afterCr = c == u'\r';
        text += Shown(c);
    };
    auto flushText = [&] {
        if (text.isEmpty())
            return;
        m_plain += text;
        m_tokens.append(TMarkupToken{false, text, {}});
        text.clear();
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = aRichText.at(i);
        if (c != u'<') {
            addText(c);
            ++i;
            continue;
        }
        const qsizetype close = aRichText.indexOf(u'>', i + 1);
        if (close < 0) {
            // Not a tag: shown as written.
            for (; i < n; ++i)
                addText(aRichText.at(i));
            break;
        }
        QString content;
        content.reserve(close - i - 1);
        for (qsizetype j = i + 1; j < close; ++j) {
            const QChar t = aRichText.at(j);
            if (t == u'<')
                text += t;
            else
                content += t;
        }
        afterCr = false;
        flushText();
        TMarkupToken tag{true, {}, ParseTag(content)};
        if (IsBreak(tag.Tag))
            m_plain += u'\n';
        m_tokens.append(std::move(tag));
        i = close + 1;
    }
    flushText();
}

void TLinkMarkup::FindLinks()
{
    int i = 0;
    TLinkSpan open;
    for (const TMarkupToken& t : std::as_const(m_tokens)) {
        if (!t.IsTag) {
            i += int(t.Text.size());
            continue;
        }
        if (IsBreak(t.Tag)) {
            ++i;
            continue;
        }
        if (const TLinkKind k = OpenedLink(t.Tag.Name); k != lkNone) {
            open = TLinkSpan{i, i, k, t.Tag.RawArg};
        } else if (const TLinkKind k = ClosedLink(t.Tag.Name); k != lkNone && k == open.Kind) {
            open.End = i;
            if (open.End > open.Start)
                m_links.append(open);
            open = TLinkSpan{};
        }
    }
}

TLinkSpan TLinkMarkup::LinkAt(int aIndex) const
{
    for (const TLinkSpan& l : m_links)
        if (aIndex >= l.Start && aIndex < l.End)
            return l;
    return {};
}

TLinkKind TLinkMarkup::OpenedLink(const QString& aName)
{
    if (aName == u"URL")
        return lkUrl;
    if (aName == u"MAIL")
        return lkMail;
    if (aName == u"LINK")
        return lkCustom;
    return lkNone;
}

TLinkKind TLinkMarkup::ClosedLink(const QString& aName)
{
    if (aName.startsWith(u'/'))
        return OpenedLink(aName.mid(1));
    return lkNone;
}

bool TLinkMarkup::ColorByName(const QString& aName, TColor& aColor)
{
    for (const TNamedColor& c : kColors)
        if (aName == QStringView(c.Name)) {
            aColor = TColor(c.Value);
            return true;
        }
    return false;
}

QString TLinkMarkup::Escape(const QString& aText)
{
    QString out = aText;
    return out.replace(u'<', QStringLiteral("<<>"));
}
