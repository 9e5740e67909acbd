#include "TestSupport.h"

#include "app/Module1.h"
#include "app/Regional.h"

#include <QRegularExpression>
#include <QTest>

class tst_SecurityLog : public QObject {
    Q_OBJECT

private slots:
    void lineIsOutcomeDateAndTimeJoinedBySingleSpaces() {
        TestRun run;
        Module1::gLogMessage = QStringLiteral("unauthorized");
        Module1::WriteLogEntry();
        const QByteArray log = run.ReadFile(QStringLiteral("orvlog.txt"));
        static const QRegularExpression line(QStringLiteral(
            "^unauthorized \\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d\\d:\\d\\d [AP]M\\r\\n$"));
        QVERIFY2(line.match(QString::fromLatin1(log)).hasMatch(), log.constData());
        // The routine leaves the whole line, without its end, in gLogMessage.
        QCOMPARE(Module1::gLogMessage.toLatin1() + "\r\n", log);
    }

    void linesAreAppendedAfterWhatEarlierRunsLeft() {
        TestRun run;
        run.WriteFile(QStringLiteral("orvlog.txt"), "authorized 1/2/2026 9:00:00 AM\r\n");
        for (const char *outcome : {"unauthorized", "authorized"}) {
            Module1::gLogMessage = QLatin1String(outcome);
            Module1::WriteLogEntry();
        }
        const QList<QByteArray> lines = run.ReadFile(QStringLiteral("orvlog.txt")).split('\n');
        QCOMPARE(lines.size(), 4); // three lines and the empty rest after the last line end
        QCOMPARE(lines[0], QByteArray("authorized 1/2/2026 9:00:00 AM\r"));
        QVERIFY(lines[1].startsWith("unauthorized ") && lines[1].endsWith('\r'));
        QVERIFY(lines[2].startsWith("authorized ") && lines[2].endsWith('\r'));
        QVERIFY(lines[3].isEmpty());
    }

    void separatorIsAddedEvenAfterAPathEndingInOne() {
        TestRun run;
        Module1::SetAppPath(run.AppFolder() + QLatin1Char('/'));
        QVERIFY(Module1::AppFile(QStringLiteral("orvlog.txt")).contains(QLatin1String("//")));
        Module1::gLogMessage = QStringLiteral("authorized");
        Module1::WriteLogEntry();
        QVERIFY(run.ReadFile(QStringLiteral("orvlog.txt")).startsWith("authorized "));
    }

    void regionalTextsFollowTheLocale() {
        const QDate date(2026, 12, 5);
        const QTime time(22, 52, 57);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(Regional::ShortDateText(date), QStringLiteral("12/5/2026"));
        QCOMPARE(Regional::LongTimeText(time), QStringLiteral("10:52:57 PM"));
        // Two-digit years are widened; the zone is left out wherever the locale puts it.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Regional::ShortDateText(date), QStringLiteral("05.12.2026"));
        QCOMPARE(Regional::LongTimeText(time), QStringLiteral("22:52:57"));
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        QCOMPARE(Regional::LongTimeText(time), QStringLiteral("22:52:57"));
    }
};

QTEST_MAIN(tst_SecurityLog)
#include "tst_SecurityLog.moc"
