#pragma once

// Clips with scene files beside them, made once per test program.
#include "MediaMaker.h"
#include <SceneFile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The clips of these tests, made once: PAL DV with and without a scene file, a copy with other
// scenes, NTSC DV with scenes, DV without sound, and a sound with a scene file.
class SceneClips {
public:
    static const SceneClips& Get()
    {
        static const SceneClips clips;
        return clips;
    }
    QString pal, other, plain, ntsc, wav, mute;

private:
    SceneClips()
    {
        const QDir dir(m_dir.path());
        pal = MediaMaker::DvType2Avi(m_dir.path(), 50);
        other = dir.filePath(QStringLiteral("other.avi"));
        plain = dir.filePath(QStringLiteral("plain.avi"));
        QFile::copy(pal, other);
        QFile::copy(pal, plain);
        SceneFile::Write(dir.filePath(QStringLiteral("type2.scn")),
                         SceneFile::Starting({10, 20, 35}));
        SceneFile::Write(dir.filePath(QStringLiteral("other.scn")), SceneFile::Starting({5, 30}));

        MediaMaker::TClip c;
        c.Frames = 40;
        c.Width = 720;
        c.Height = 480;
        c.Rate = QStringLiteral("30000/1001");
        c.Output = {QStringLiteral("-c:v"),     QStringLiteral("dvvideo"),
                    QStringLiteral("-pix_fmt"), QStringLiteral("yuv411p"),
                    QStringLiteral("-c:a"),     QStringLiteral("pcm_s16le"),
                    QStringLiteral("-ac"),      QStringLiteral("2"),
                    QStringLiteral("-f"),       QStringLiteral("avi")};
        ntsc = dir.filePath(QStringLiteral("ntsc.avi"));
        if (!MediaMaker::Make(ntsc, c))
            ntsc.clear();
        SceneFile::Write(dir.filePath(QStringLiteral("ntsc.scn")),
                         SceneFile::Starting({10, 20, 33}));

        MediaMaker::TClip silent;
        silent.Width = 720;
        silent.Height = 576;
        silent.Audio = false;
        silent.Output = {QStringLiteral("-c:v"),     QStringLiteral("dvvideo"),
                         QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                         QStringLiteral("-f"),       QStringLiteral("avi")};
        mute = dir.filePath(QStringLiteral("mute.avi"));
        if (!MediaMaker::Make(mute, silent))
            mute.clear();

        wav = MediaMaker::Wav(m_dir.path());
        SceneFile::Write(dir.filePath(QStringLiteral("tone.scn")), SceneFile::Starting({5, 10}));
    }
    QTemporaryDir m_dir;
};
