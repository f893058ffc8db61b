#include "ui/ScriptFormActions.h"

namespace {

using K = TActionKind;

const TActionRow kRows[] = {
    {.Kind = K::Rect,
     .Name = "raScriptFormSave",
     .Category = "Dravik",
     .Default = TRect{300, 300, 1100, 860},
     .ApplyWhenLoad = true,
     .Caption = ""},
    {.Kind = K::Nope,
     .Name = "naExecuteMacro",
     .ShortCut = "Ctrl+F12",
     .Category = "Dravik",
     .Caption = "Executer",
     .Image = 2},
    // Start and stop have no script name: they are neither procedures nor macro lines.
    {.Kind = K::Nope,
     .Name = "naStartMacro",
     .Category = "Dravik",
     .Caption = "Démarrer",
     .Image = 5,
     .ScriptName = ""},
    {.Kind = K::Nope,
     .Name = "naStopMacro",
     .Category = "Dravik",
     .Caption = "Arrêter",
     .Image = 4,
     .ScriptName = ""},
    {.Kind = K::Nope, .Name = "naHelpMacro", .Category = "Dravik", .Caption = "Aide", .Image = 3},
    {.Kind = K::String,
     .Name = "saLines",
     .Category = "Dravik",
     .Default = "//Ecrivez un script entre begin et end.",
     .ApplyWhenLoad = true},
};

} // namespace

std::span<const TActionRow> ScriptFormActionRows()
{
    return kRows;
}
