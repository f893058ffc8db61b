#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP end the program as closing its window does (settings saved, the
// pipeline stopped) instead of killing it: the handler only writes a byte to a pipe, and the
// event loop reads it and calls OnSignal.
class TSignalClose : public QObject {
    Q_OBJECT
public:
    explicit TSignalClose(std::function<void()> aOnSignal, QObject* aParent = nullptr);
    ~TSignalClose() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};
