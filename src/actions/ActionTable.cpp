#include "actions/ActionTable.h"

#include "actions/ActionErrors.h"
#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include <iterator>

namespace {

QString Text(const char* aText)
{
    return QString::fromUtf8(aText ? aText : "");
}

template <class A, class V> A* MakeValue(const TActionRow& r, TCustomKoActionList* list, V fallback)
{
    auto* a = TCustomAbstractAction::CreateInternal<A>(Text(r.Name), list);
    a->DefaultValue = fallback;
    return a;
}

template <class T> T DefaultOr(const TActionDefault& d, T fallback)
{
    if (const T* v = std::get_if<T>(&d))
        return *v;
    return fallback;
}

const char* KindName(TActionKind aKind)
{
    switch (aKind) {
    case TActionKind::Nope:
        return "Nope";
    case TActionKind::Widestring:
        return "Widestring";
    case TActionKind::String:
        return "String";
    case TActionKind::Integer:
        return "Integer";
    case TActionKind::Color:
        return "Color";
    case TActionKind::Double:
        return "Double";
    case TActionKind::Boolean:
        return "Boolean";
    case TActionKind::Point:
        return "Point";
    case TActionKind::Rect:
        return "Rect";
    case TActionKind::Font:
        return "Font";
    case TActionKind::Check:
        return "Check";
    }
    return "?";
}

// In the order of TActionDefault's alternatives.
constexpr const char* kDefaultTypeNames[] = {"aucune", "bool",   "qint32", "double",
                                             "texte",  "TPoint", "TRect",  "TFontDesc"};
static_assert(std::size(kDefaultTypeNames) == std::variant_size_v<TActionDefault>);

bool DefaultFits(TActionKind aKind, const TActionDefault& d)
{
    if (std::holds_alternative<std::monostate>(d))
        return true;
    switch (aKind) {
    case TActionKind::Nope:
        return false;
    case TActionKind::Widestring:
    case TActionKind::String:
        return std::holds_alternative<const char*>(d);
    case TActionKind::Integer:
    case TActionKind::Color:
        return std::holds_alternative<qint32>(d);
    case TActionKind::Double:
        return std::holds_alternative<double>(d);
    case TActionKind::Boolean:
    case TActionKind::Check:
        return std::holds_alternative<bool>(d);
    case TActionKind::Point:
        return std::holds_alternative<TPoint>(d);
    case TActionKind::Rect:
        return std::holds_alternative<TRect>(d);
    case TActionKind::Font:
        return std::holds_alternative<TFontDesc>(d);
    }
    return false;
}

TCustomAbstractAction* Build(const TActionRow& r, TCustomKoActionList* list)
{
    const TActionDefault& d = r.Default;
    switch (r.Kind) {
    case TActionKind::Nope:
        return TCustomAbstractAction::CreateInternal<TNopeAction>(Text(r.Name), list);
    case TActionKind::Widestring:
        return MakeValue<TWidestringAction>(r, list, Text(DefaultOr<const char*>(d, "")));
    case TActionKind::String:
        return MakeValue<TStringAction>(r, list, QByteArray(DefaultOr<const char*>(d, "")));
    case TActionKind::Integer:
        return MakeValue<TIntegerAction>(r, list, DefaultOr<qint32>(d, 0));
    case TActionKind::Color:
        return MakeValue<TColorAction>(r, list, DefaultOr<qint32>(d, 0));
    case TActionKind::Double:
        return MakeValue<TDoubleAction>(r, list, DefaultOr<double>(d, 0.0));
    case TActionKind::Boolean:
        return MakeValue<TBooleanAction>(r, list, DefaultOr<bool>(d, false));
    case TActionKind::Point:
        return MakeValue<TPointAction>(r, list, DefaultOr<TPoint>(d, {}));
    case TActionKind::Rect:
        return MakeValue<TRectAction>(r, list, DefaultOr<TRect>(d, {}));
    case TActionKind::Font:
        return MakeValue<TFontAction>(r, list, DefaultOr<TFontDesc>(d, {}));
    case TActionKind::Check: {
        auto* a = TCustomAbstractAction::CreateInternal<TCheckAction>(Text(r.Name), list);
        const QString caption = r.Caption ? Text(r.Caption) : ActionBaseName(r.Name);
        a->SetTrueCaption(caption);
        a->SetFalseCaption(r.FalseCaption ? Text(r.FalseCaption) : caption);
        a->SetTrueHint(Text(r.Hint));
        a->SetFalseHint(r.FalseHint ? Text(r.FalseHint) : Text(r.Hint));
        a->SetTrueImageIndex(r.Image);
        a->SetFalseImageIndex(r.FalseImage == -2 ? r.Image : r.FalseImage);
        a->SetDefaultValue(DefaultOr<bool>(d, false));
        return a;
    }
    }
    return nullptr;
}

} // namespace

QString ActionBaseName(const char* aName)
{
    const QString name = Text(aName);
    return name.size() > 2 && name.at(0).isLower() && name.at(1).isLower() ? name.mid(2) : name;
}

void CheckActionRow(const TActionRow& r)
{
    if (DefaultFits(r.Kind, r.Default))
        return;
    const QString name = Text(r.Name);
    throw EActionRowRefused(
        name, QStringLiteral("La ligne d'action \"%1\" de type %2 a une valeur par défaut de type "
                             "%3, qui ne lui convient pas.")
                  .arg(name, QString::fromLatin1(KindName(r.Kind)),
                       QString::fromUtf8(kDefaultTypeNames[r.Default.index()])));
}

TCustomAbstractAction* CreateAction(const TActionRow& r, TCustomKoActionList* aList)
{
    CheckActionRow(r);
    TCustomAbstractAction* a = Build(r, aList);
    a->ScriptName = r.ScriptName ? Text(r.ScriptName) : ActionBaseName(r.Name);
    a->Switch = Text(r.Switch);
    if (r.Category)
        a->Category = Text(r.Category);
    a->IncludePrefs = r.IncludePrefs;
    a->ApplyWhenLoad = r.ApplyWhenLoad;
    a->Variables = Text(r.Variables);
    if (r.Comments && *r.Comments)
        a->Comments = Text(r.Comments).split(u'\n');
    a->SetShortCut(TextToShortCut(Text(r.ShortCut)));
    QList<TShortCut> secondary;
    for (const QString& key : Text(r.Secondary).split(u';', Qt::SkipEmptyParts))
        if (const TShortCut sc = TextToShortCut(key))
            secondary << sc;
    a->SetSecondaryShortcuts(secondary);
    if (r.Kind != TActionKind::Check) {
        a->SetCaption(r.Caption ? Text(r.Caption) : ActionBaseName(r.Name));
        a->SetHint(Text(r.Hint));
        a->SetImageIndex(r.Image);
        a->SetAutoCheck(r.AutoCheck);
    }
    return a;
}

void CreateActions(std::span<const TActionRow> aRows, TCustomKoActionList* aList)
{
    // Every row first, so that a refused table leaves no half of its actions behind.
    for (const TActionRow& r : aRows)
        CheckActionRow(r);
    for (const TActionRow& r : aRows)
        CreateAction(r, aList);
}
