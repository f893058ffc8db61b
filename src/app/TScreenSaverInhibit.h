#pragma once

#include <QString>

// Keeps the screen saver off while the program runs, through the desktop's
// org.freedesktop.ScreenSaver service; nothing happens where no such service answers.
class TScreenSaverInhibit {
public:
    TScreenSaverInhibit() = default;
    ~TScreenSaverInhibit() { Release(); }
    TScreenSaverInhibit(const TScreenSaverInhibit&) = delete;
    TScreenSaverInhibit& operator=(const TScreenSaverInhibit&) = delete;

    void Inhibit(const QString& aReason);
    void Release();
    bool Active() const { return m_cookie != 0; }

private:
    quint32 m_cookie = 0;
};
