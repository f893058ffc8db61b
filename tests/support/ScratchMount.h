#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs of its own, for what only a real file system shows: a full disk, a read-only
// one. Mounting needs the right to (root, as in CI); where it is missing Valid() is false and
// the tests that need it skip, saying why.
class TScratchMount {
public:
    explicit TScratchMount(qint64 aBytes);
    ~TScratchMount();
    TScratchMount(const TScratchMount&) = delete;
    TScratchMount& operator=(const TScratchMount&) = delete;

    bool Valid() const { return m_mounted; }
    QString Path() const { return m_dir.path(); }
    QString File(const QString& aName) const { return m_dir.filePath(aName); }
    // Fills what is left with one file; true once a write met a full disk.
    bool Fill();
    bool RemountReadOnly();

    static constexpr const char* kSkipReason = "cannot mount a tmpfs here (needs root)";

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
