#include "TestSupport.h"

#include "platform/Regional.h"
#include "platform/RuntimeError.h"
#include "security/WriteLogEntry.h"

#include <QFile>
#include <optional>

class tst_SecurityLog : public QObject {
    Q_OBJECT

private slots:
    void eachLineIsAppendedWholeOnALineOfItsOwn_data() {
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QStringList>("outcomes"); // of the lines after the earlier ones
        const QByteArray line("authorized 1/2/2026 9:00:00 AM");
        const QStringList both = {QStringLiteral("unauthorized"), QStringLiteral("authorized")};
        QTest::newRow("whole lines") << line + "\r\n" << false << both;
        QTest::newRow("a torn line") << line << false << both;
        QTest::newRow("a line cut after its CR") << line + "\r" << false << both;
        // Only the start of the next line fits on the last page of the disk.
        QTest::newRow("a full disk") << line + "\r\n" + QByteArray(4050, 'x') + "\r\n"
                                     << true << QStringList{QStringLiteral("authorized")};
    }

    void eachLineIsAppendedWholeOnALineOfItsOwn() {
        QFETCH(QByteArray, earlier);
        QFETCH(bool, diskFull);
        QFETCH(QStringList, outcomes);
        if (diskFull)
            SKIP_WITHOUT_PRIVATE_MOUNTS();
        TestRun run;
        std::optional<PrivateMounts> mounts;
        QString folder = run.AppFolder();
        if (diskFull) {
            mounts.emplace(run.AppFolder());
            folder = run.FilePath(QStringLiteral("small-disk"));
            mounts->SmallDisk(folder, "64k");
            Module1::SetAppPath(folder);
        }
        QFile log(folder + QStringLiteral("/orvlog.txt"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(earlier);
        log.close();
        if (diskFull)
            PrivateMounts::Fill(folder);

        for (const char *outcome : {"unauthorized", "authorized"}) {
            try {
                Module1::WriteLogEntry(QLatin1String(outcome));
            } catch (const RuntimeError &error) {
                QVERIFY(diskFull);
                QCOMPARE(error.number(), ErrorNumber::DiskFull);
                QVERIFY(log.open(QIODevice::ReadOnly));
                QCOMPARE(log.readAll(), earlier); // nothing of the line
                log.close();
                QVERIFY(QFile::remove(folder + QStringLiteral("/filler")));
            }
        }
        QVERIFY(log.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromLatin1(log.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString()); // the last line is ended too
        const qsizetype earlierLines = earlier.count('\n') + (earlier.endsWith('\n') ? 0 : 1);
        QCOMPARE(lines.size(), earlierLines + outcomes.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(!lines[i].contains(QLatin1Char('\r')) && !lines[i].contains(QLatin1Char('\n')),
                     qPrintable(lines[i]));
            if (i >= earlierLines)
                QVERIFY(lines[i].startsWith(outcomes[i - earlierLines] + QLatin1Char(' ')));
        }
    }

    void regionalTextsFollowTheLocale() {
        const QDate date(2026, 12, 5);
        const QTime time(22, 52, 57);
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
