#pragma once

#include "prefs/PrefTypes.h"

#include <QList>
#include <QString>

// The three kinds of clickable links of a markup text.
enum TLinkKind { lkNone, lkUrl, lkMail, lkCustom };

// One tag: the part before the first space is the name, the rest the argument, both trimmed.
struct TMarkupTag {
    QString Name;   // upper case
    QString Arg;    // upper case
    QString RawArg; // as written (link targets keep their case)
};

// A run of shown text or a tag, in the order they stand in the markup.
struct TMarkupToken {
    bool IsTag = false;
    QString Text; // the characters shown, when not a tag
    TMarkupTag Tag;
};

// A link of the shown text: the characters [Start, End) lead to Target.
struct TLinkSpan {
    int Start = 0;
    int End = 0;
    TLinkKind Kind = lkNone;
    QString Target;
};

// The markup language of the link label: text outside angle brackets is shown, "<...>" is a tag.
// A "<" inside a tag is shown as a character ("<<>" writes a "<"), a ">" outside a tag is plain
// text, and a "<" without a closing ">" is plain text up to the end. Every line break, whether
// a BR tag or a line end in the text, is one position of the shown text, as the text document
// counts it; all the walks over the markup share these tokens so they count alike.
class TLinkMarkup {
public:
    explicit TLinkMarkup(const QString& aRichText);

    const QList<TMarkupToken>& Tokens() const { return m_tokens; }
    // The shown text, each line break a "\n".
    const QString& PlainText() const { return m_plain; }
    // The links in the order their closing tags stand.
    const QList<TLinkSpan>& Links() const { return m_links; }
    // The first link whose characters hold aIndex.
    TLinkSpan LinkAt(int aIndex) const;

    static bool IsBreak(const TMarkupTag& aTag) { return aTag.Name == u"BR"; }
    // The kind a tag opens ("URL", "MAIL", "LINK") or closes ("/URL", ...), else lkNone.
    static TLinkKind OpenedLink(const QString& aName);
    static TLinkKind ClosedLink(const QString& aName);
    // The colours a COLOR tag names (upper case); false for a name not in the table.
    static bool ColorByName(const QString& aName, TColor& aColor);
    // aText shown as it is inside markup: every "<" written "<<>".
    static QString Escape(const QString& aText);

private:
    void Tokenize(const QString& aRichText);
    void FindLinks();

    QList<TMarkupToken> m_tokens;
    QString m_plain;
    QList<TLinkSpan> m_links;
};
