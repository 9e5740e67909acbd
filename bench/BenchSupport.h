#pragma once

// Small measuring helpers shared by the benchmark programs.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace Bench {

// A field of /proc/self/status ("VmRSS:", "VmHWM:"), in KiB; -1 when it cannot be read.
inline long StatusKiB(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Makes VmHWM restart from the current resident size (Linux 4.0 and later).
inline bool ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// The command line of a benchmark: a number sets `count` (at least 1), anything else is a file.
inline QStringList CountAndFiles(int argc, char *argv[], int &count) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        bool number = false;
        const int value = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (number)
            count = std::max(1, value);
        else
            files.append(QString::fromLocal8Bit(argv[i]));
    }
    return files;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The value below which `share` (0..1) of the values lie: 0.99 gives the 99th percentile.
inline double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(share * double(values.size() - 1) + 0.5);
    return values[std::min(rank, values.size() - 1)];
}

// Waits for a widget's next paint the way a user waits for it: the event loop runs on as the
// window's does, so the paint Qt schedules after a key or a command is the one waited for, and
// Wait() returns once it has been drawn.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QObject *widget) {
        widget->installEventFilter(this);
        m_guard.setSingleShot(true);
    }
    // Forgets earlier paints: call it before the key or command.
    void Arm() { m_painted = false; }
    // False when nothing was painted within 10 s.
    bool Wait() {
        m_guard.start(10000);
        while (!m_painted && m_guard.isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_guard.stop();
        return m_painted;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QTimer m_guard;
    bool m_painted = false;
};

} // namespace Bench
