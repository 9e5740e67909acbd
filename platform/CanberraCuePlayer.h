#pragma once

#include "platform/CuePlayer.h"

#include <QThread>
#include <memory>

class CanberraCueWorker;

// libcanberra behind a thread of its own, so that connecting to a slow or missing sound server
// never delays the user interface.
class CanberraCuePlayer final : public CuePlayer {
public:
    CanberraCuePlayer();
    ~CanberraCuePlayer() override;

    void Play(const QString &path) override;

private:
    QThread m_thread;
    CanberraCueWorker *m_worker; // lives in m_thread, deleted when it finishes
};
