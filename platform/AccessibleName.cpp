#include "platform/AccessibleName.h"

QString AccessibleNameOf(const QString &caption) {
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        spoken.append(caption[i]);
    }
    return spoken;
}
