// Any text given to every kind of action as the command line would give it.
#include "actions/ActionColors.h"
#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include "base/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static TWidestringAction w;
    static TStringAction s;
    static TIntegerAction i;
    static TColorAction c;
    static TDoubleAction d;
    static TBooleanAction b;
    static TPointAction p;
    static TRectAction r;
    static TFontAction f;
    static TCheckAction k;
    static TNopeAction n;
    for (TCustomAbstractAction* a :
         std::initializer_list<TCustomAbstractAction*>{&w, &s, &i, &c, &d, &b, &p, &r, &f, &k, &n})
        a->SetAsText(text);
    if (w.Value() != text)
        abort();
    TColor color = 0;
    if (TextToColor(text, color)) {
        TColor again = 0;
        if (!TextToColor(ColorToText(color), again) || again != color)
            abort();
    }
    const TShortCut sc = TextToShortCut(text);
    if (sc && TextToShortCut(ShortCutToText(sc)) != sc)
        abort();
    double v = 0;
    if (TextToFloat(text, v) && v == v) {
        double again = 0;
        if (!TextToFloat(FloatToText(v), again) || again != v)
            abort();
    }
    return 0;
}
