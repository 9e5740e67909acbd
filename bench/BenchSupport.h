#pragma once

// Small measuring helpers shared by the benchmark programs.

#include <QFile>
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

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace Bench
