#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// Dates and times as the user's locale writes them: the short date with the year widened to
// four digits, the long time without its time-zone part (en_US: 12/5/2026, 10:52:57 PM).
namespace Regional {

QString ShortDateText(const QDate &date);
QString LongTimeText(const QTime &time);

} // namespace Regional
