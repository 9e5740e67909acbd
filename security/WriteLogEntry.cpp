#include "app/Module1.h"
#include "app/Regional.h"
#include "platform/FileIO.h"

#include <QDate>
#include <QTime>

namespace Module1 {

void WriteLogEntry() {
    const QString dateText = Regional::ShortDateText(QDate::currentDate());
    const QString timeText = Regional::LongTimeText(QTime::currentTime());
    gLogMessage = gLogMessage + QLatin1Char(' ') + dateText + QLatin1Char(' ') + timeText;
    // The log is text in the system's encoding, as the viewer reads it back.
    FileIO::AppendLine(AppFile(QStringLiteral("orvlog.txt")), gLogMessage.toLocal8Bit() + "\r\n");
}

} // namespace Module1
