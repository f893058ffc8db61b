#pragma once

#include "files/TScene.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// The scenes of the current video, in file order; it owns them.
class TSceneList {
public:
    TSceneList() = default;
    TSceneList(const TSceneList&) = delete;
    TSceneList& operator=(const TSceneList&) = delete;

    qsizetype Count() const { return qsizetype(m_scenes.size()); }
    bool IsEmpty() const { return m_scenes.empty(); }
    // Null outside the list.
    const TScene* At(qsizetype aIndex) const;
    void Add(std::unique_ptr<TScene> aScene) { m_scenes.push_back(std::move(aScene)); }
    void Clear() { m_scenes.clear(); }

private:
    std::vector<std::unique_ptr<TScene>> m_scenes;
};

// Reads the scene file aPath into aList, which is emptied first: a video without a readable
// scene file has no scenes. False when the file is missing, unreadable or ends early; the
// scenes read whole before the end stay.
bool LoadScenes(TSceneList& aList, const QString& aPath);
// The same on the file's bytes.
bool ReadScenes(TSceneList& aList, const QByteArray& aBytes, const QString& aPath);
void ClearScenes(TSceneList& aList);
const TScene* SceneAt(const TSceneList& aList, qsizetype aIndex);

// The start of the first scene, in list order, that starts after aFrame; of the last one that
// starts before it. None when there is no such scene. The file lists its scenes in ascending
// order: they are taken as they come.
std::optional<qint64> NextSceneStart(const TSceneList& aList, qint64 aFrame);
std::optional<qint64> PreviousSceneStart(const TSceneList& aList, qint64 aFrame);
