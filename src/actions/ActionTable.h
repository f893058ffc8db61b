#pragma once

#include "prefs/PrefTypes.h"

#include <span>
#include <variant>

class TCustomAbstractAction;
class TCustomKoActionList;

enum class TActionKind {
    Nope,
    Widestring,
    String,
    Integer,
    Color,
    Double,
    Boolean,
    Point,
    Rect,
    Font,
    Check
};

// A default value as a row gives it; colours are written TColor(0xFF00000F).
using TActionDefault =
    std::variant<std::monostate, bool, qint32, double, const char*, TPoint, TRect, TFontDesc>;

// One action of a component, as one row of its table. Texts are UTF-8.
struct TActionRow {
    TActionKind Kind;
    const char* Name; // the component name and InternalId, e.g. "caMute"
    const char* Switch = "";
    const char* ShortCut = "";      // "Ctrl+Space"
    const char* Secondary = "";     // more keys, separated by ";"
    const char* Category = nullptr; // null: "internal"
    TActionDefault Default = {};
    bool IncludePrefs = true;
    bool ApplyWhenLoad = false;
    const char* Caption = nullptr;      // null: the name without its prefix; check: when True
    const char* Hint = "";              // check: when True
    const char* FalseCaption = nullptr; // check only; null: as Caption
    const char* FalseHint = nullptr;    // check only; null: as Hint
    int Image = -1;                     // check: when True
    int FalseImage = -2;                // check only; -2: as Image
    const char* ScriptName = nullptr;   // null: the name without its two-letter prefix
    const char* Variables = "";
    const char* Comments = ""; // lines separated by "\n"
    bool AutoCheck = false;
};

// The name without its two-letter type prefix: "caMute" -> "Mute".
QString ActionBaseName(const char* aName);

// Throws EActionRowRefused, naming the row, when its Default does not fit its Kind. Accepted:
// no default for every kind; Integer and Color a qint32 (colours written TColor(...)); Double a
// double; Boolean and Check a bool; Widestring and String a const char*; Point a TPoint; Rect a
// TRect; Font a TFontDesc; Nope nothing.
void CheckActionRow(const TActionRow& aRow);

// Both check first: a refused row, or a table holding one, creates nothing.
TCustomAbstractAction* CreateAction(const TActionRow& aRow, TCustomKoActionList* aList);
void CreateActions(std::span<const TActionRow> aRows, TCustomKoActionList* aList);
