#include "media/AudioManActions.h"

namespace {

using K = TActionKind;
constexpr const char* kCategory = "cat_internal";

const TActionRow kRows[] = {
    // The caption says what the action does: while muted, it brings the sound back.
    {.Kind = K::Check,
     .Name = "caMute",
     .Switch = "swi_m",
     .ShortCut = "Ctrl+M",
     .Category = kCategory,
     .Default = false,
     .ApplyWhenLoad = true,
     .Caption = "Remettre le son",
     .FalseCaption = "Couper le son"},
    {.Kind = K::Nope,
     .Name = "naNextDecoderAudio",
     .Switch = "swi_nextda",
     .ShortCut = "Ctrl+F9",
     .Category = kCategory,
     .Hint = "Cherche un autre décodeur Audio pour la vidéo en cours."},
    {.Kind = K::Nope,
     .Name = "naIncVolume",
     .Switch = "swi_iv",
     .ShortCut = "Num +",
     .Category = kCategory,
     .Hint = "Augmenter le Volume de l'audio de 10 points."},
    {.Kind = K::Nope,
     .Name = "naDecVolume",
     .Switch = "swi_dv",
     .ShortCut = "Num -",
     .Category = kCategory,
     .Hint = "Diminuer le volume de 10 points"},
    {.Kind = K::Integer,
     .Name = "iaVolume",
     .Switch = "swi_vol",
     .Category = kCategory,
     .Default = 5000,
     .ApplyWhenLoad = true,
     .Comments = "Entre 0 et 10.000"},
};

} // namespace

std::span<const TActionRow> AudioManActionRows()
{
    return kRows;
}
