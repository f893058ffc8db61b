// The scenes of a DV capture: the ".scn" file beside the video, its marker in the title bar and
// the jumps to the next and previous scene start.
#include "app/TShowForm.h"

#include "actions/TNopeAction.h"
#include "files/FileNames.h"
#include "media/TNavMan.h"

#include <QLabel>

void TShowForm::BindScenes()
{
    naAvanceTrack = Need<TNopeAction>("naAvanceTrack");
    naReculeTrack = Need<TNopeAction>("naReculeTrack");
    naAvanceFin = Need<TNopeAction>("naAvanceFin");
    naReculeDebut = Need<TNopeAction>("naReculeDebut");
    naAvanceTrack->OnAfterApply = [this] { JumpToScene(true); };
    naReculeTrack->OnAfterApply = [this] { JumpToScene(false); };
}

void TShowForm::LoadVideoScenes(const QString& aVideo)
{
    // A video without a readable scene file has none: never the previous video's.
    LoadScenes(m_scenes, ChangeFileExt(aVideo, QStringLiteral(".scn")));
}

void TShowForm::CloseScenes()
{
    ClearScenes(m_scenes);
    scnLab->hide();
}

void TShowForm::JumpToScene(bool aForward)
{
    // Before the stream gives its frame duration there is only the placeholder 1 (or nothing):
    // no frame to count from, so the jumps go to the ends as without scenes.
    const qint64 d = NavMan->FrameDuration();
    std::optional<qint64> start;
    if (d > 1 && !m_scenes.IsEmpty()) {
        // The nearest frame: at NTSC rates a frame's time is not a whole multiple of the
        // rounded duration, and rounding down would take a scene start for the frame before it.
        const qint64 frame = (NavMan->CurrentPosition() + d / 2) / d;
        start = aForward ? NextSceneStart(m_scenes, frame) : PreviousSceneStart(m_scenes, frame);
    }
    if (start)
        NavMan->SeekTo(*start * d);
    else if (aForward)
        naAvanceFin->Apply();
    else
        naReculeDebut->Apply();
}
