#include "platform/CanberraCuePlayer.h"

#include <QFile>
#include <canberra.h>

namespace {

constexpr uint32_t kCueId = 1; // one id for every cue, so cancelling it stops whichever plays
constexpr const char *kDefaultEventSound = "bell";

bool LooksLikePlayableWave(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(12);
    return header.size() == 12 && header.startsWith("RIFF") && header.mid(8, 4) == "WAVE";
}

} // namespace

class CanberraCueWorker : public QObject {
public:
    ~CanberraCueWorker() override {
        if (m_context)
            ca_context_destroy(m_context);
    }

    void Play(const QString &path) {
        if (!Open())
            return;
        ca_context_cancel(m_context, kCueId);
        if (LooksLikePlayableWave(path)) {
            const QByteArray file = QFile::encodeName(path);
            if (ca_context_play(m_context, kCueId, CA_PROP_MEDIA_FILENAME, file.constData(),
                                CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr) == CA_SUCCESS)
                return;
        }
        ca_context_play(m_context, kCueId, CA_PROP_EVENT_ID, kDefaultEventSound, nullptr);
    }

private:
    bool Open() {
        if (m_context || m_failed)
            return m_context != nullptr;
        if (ca_context_create(&m_context) != CA_SUCCESS) {
            m_context = nullptr;
            m_failed = true;
            return false;
        }
        ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Quillory",
                                CA_PROP_APPLICATION_ID, "org.quillory.Quillory", nullptr);
        if (ca_context_open(m_context) != CA_SUCCESS) {
            ca_context_destroy(m_context);
            m_context = nullptr;
            m_failed = true; // no sound server: silence for the rest of the run
        }
        return m_context != nullptr;
    }

    ca_context *m_context = nullptr;
    bool m_failed = false;
};

CanberraCuePlayer::CanberraCuePlayer()
    : m_worker(new CanberraCueWorker) {
    m_thread.setObjectName(QStringLiteral("sound cues"));
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

CanberraCuePlayer::~CanberraCuePlayer() {
    m_thread.quit();
    m_thread.wait();
}

void CanberraCuePlayer::Play(const QString &path) {
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, path] { worker->Play(path); }, Qt::QueuedConnection);
}
