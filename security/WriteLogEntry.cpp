#include "security/WriteLogEntry.h"

#include "app/Run.h"
#include "platform/FileIO.h"
#include "platform/Regional.h"
#include "platform/Services.h"

namespace Module1 {

void WriteLogEntry(const QString &outcome) {
    const QDateTime now = Services::Now();
    const QString line = outcome + QLatin1Char(' ') + Regional::ShortDateText(now.date()) +
                         QLatin1Char(' ') + Regional::LongTimeText(now.time());
    // The log is text in the system's encoding, as the viewer reads it back.
    FileIO::AppendLine(AppFile(QStringLiteral("orvlog.txt")), line.toLocal8Bit() + "\r\n");
}

} // namespace Module1
