#include "platform/Regional.h"

#include <QLocale>
#include <QRegularExpression>

namespace Regional {

QString ShortDateText(const QDate &date) {
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QRegularExpression(QStringLiteral("y+")), QStringLiteral("yyyy"));
    return locale.toString(date, format);
}

QString LongTimeText(const QTime &time) {
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::LongFormat);
    // The zone letters and the blank or separator that joins them to the rest.
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?\\s*"));
    format.replace(zone, QStringLiteral(" "));
    return locale.toString(time, format.trimmed());
}

} // namespace Regional
