// The markup of the link label: its tokens, its links and the document it builds must agree
// on every position, whatever the text.
#include "ui/TLinkEdit.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>

namespace {

TLinkEdit* Edit()
{
    static TLinkEdit* edit = [] {
        auto* e = new TLinkEdit;
        e->resize(300, 200);
        return e;
    }();
    return edit;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks the decoding, so both UTF-8 and raw UTF-16 texts are reached.
    if (size == 0)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype n = qsizetype(size - 1);
    const QString text =
        (data[0] & 1)
            ? QString::fromUtf16(
                  reinterpret_cast<const char16_t*>(QByteArray(bytes, n).constData()), n / 2)
            : QString::fromUtf8(bytes, n);

    const TLinkMarkup markup(text);
    qsizetype shown = 0;
    for (const TMarkupToken& t : markup.Tokens())
        shown += t.IsTag ? (TLinkMarkup::IsBreak(t.Tag) ? 1 : 0) : t.Text.size();
    if (shown != markup.PlainText().size())
        std::abort();
    for (const TLinkSpan& l : markup.Links())
        if (l.Start < 0 || l.End <= l.Start || l.End > markup.PlainText().size())
            std::abort();

    TLinkEdit* edit = Edit();
    if (data[0] & 2)
        edit->ResetAttributes();
    edit->SetRichText(text);
    if (edit->document()->characterCount() - 1 != markup.PlainText().size())
        std::abort();
    if (edit->DefAttributes().Size < TLinkEdit::kMinPointSize ||
        edit->DefAttributes().Size > TLinkEdit::kMaxPointSize)
        std::abort();
    if (data[0] & 4) {
        for (const QPoint p : {QPoint(5, 5), QPoint(40, 12), QPoint(150, 30), QPoint(299, 199)}) {
            const int i = edit->CharFromPos(p);
            if (i < -1 || i > markup.PlainText().size())
                std::abort();
            edit->LinkAt(p);
        }
    }
    return 0;
}
