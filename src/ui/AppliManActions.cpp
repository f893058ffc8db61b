#include "ui/AppliManActions.h"

namespace {

using K = TActionKind;

const TActionRow kRows[] = {
    {.Kind = K::Check,
     .Name = "caScript",
     .Switch = "swi_sc",
     .ShortCut = "F12",
     .Default = false,
     .IncludePrefs = false,
     .Caption = "Script",
     .Hint = "Masquer le scripts",
     .FalseHint = "Afficher les scripts",
     .Image = 75},
    // Not stored: a help window left open would come back unseen behind the first F1.
    {.Kind = K::Check,
     .Name = "caHelp",
     .Switch = "swi_ch",
     .ShortCut = "F1",
     .Default = false,
     .IncludePrefs = false,
     .Caption = "Aide",
     .Hint = "Masquer l'Aide",
     .FalseHint = "Afficher l'Aide",
     .Image = 9},
    {.Kind = K::Check,
     .Name = "caAbout",
     .Switch = "swi_ca",
     .ShortCut = "F11",
     .Default = false,
     .IncludePrefs = false,
     .Caption = "A propos",
     .Hint = "Masquer l'A propos...",
     .FalseHint = "Afficher l'A propos...",
     .Image = 31},
    {.Kind = K::Check,
     .Name = "caOptions",
     .Switch = "swi_co",
     .ShortCut = "F10",
     .Default = false,
     .IncludePrefs = false,
     .Caption = "Options",
     .Hint = "Masquer les options",
     .FalseHint = "Afficher les Options",
     .Image = 10},
    {.Kind = K::Check,
     .Name = "caCustom",
     .ShortCut = "Alt+F10",
     .Default = false,
     .IncludePrefs = false,
     .Caption = "Frame Personnalisée",
     .Comments = "Non utilisé"},
    {.Kind = K::Nope,
     .Name = "naQuit",
     .Switch = "swi_q",
     .ShortCut = "Alt+F4",
     .IncludePrefs = false,
     .Caption = "Quitter",
     .Hint = "Quitter Tessarine",
     .Image = 4},
    {.Kind = K::Nope,
     .Name = "naEMail",
     .Switch = "swi_em",
     .ShortCut = "Alt+E",
     .Caption = "E-mail",
     .Hint = "Envoyer un email à Orvalis"},
    {.Kind = K::Nope,
     .Name = "naHomePage",
     .Switch = "swi_hp",
     .ShortCut = "Alt+H",
     .Caption = "Homepage",
     .Hint = "Afficher la Homepage de Tessarine"},
    {.Kind = K::Rect, .Name = "raFormSave", .ApplyWhenLoad = true, .Caption = ""},
};

} // namespace

std::span<const TActionRow> AppliManActionRows()
{
    return kRows;
}
