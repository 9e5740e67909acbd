#include "TestSupport.h"

#include "platform/AnsiCodePage.h"
#include "platform/Regional.h"
#include "platform/RuntimeError.h"
#include "security/PasswordStore.h"
#include "security/WriteLogEntry.h"

#include <QFile>
#include <optional>

using namespace PasswordStore;

namespace {

QString Chars(std::initializer_list<int> codes) {
    QByteArray bytes;
    for (int code : codes)
        bytes.append(static_cast<char>(code));
    return AnsiCodePage::Decode(bytes);
}

} // namespace

class tst_SecurityFiles : public QObject {
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
            QVERIFY(!lines[i].contains(QLatin1Char('\r')) && !lines[i].contains(QLatin1Char('\n')));
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

    void scramblingShiftsEveryCodeByFiveWithinTheByteRange() {
        QCOMPARE(ScrambleText(QStringLiteral("abc 1")), QStringLiteral("fgh%6"));
        QCOMPARE(UnscrambleText(QStringLiteral("fgh%6")), QStringLiteral("abc 1"));
        // Codes whose shifted value would leave 0..255 stay as they are.
        QCOMPARE(ScrambleText(Chars({250, 251, 255})), Chars({255, 251, 255}));
        QCOMPARE(UnscrambleText(Chars({0, 4, 5})), Chars({0, 4, 0}));
        // Characters of the code page's upper half move through their byte codes.
        QCOMPARE(ScrambleText(QStringLiteral("\u20AC")), Chars({0x85})); // euro is 0x80
    }

    void writtenPasswordsReadBackAsTheStoreKeepsThem() {
        TestRun run;
        const QString path = run.FilePath(QStringLiteral("orvpass1.txt"));
        run.SetPasswords(QStringLiteral("abc"), QString());
        QCOMPARE(run.ReadFile(QStringLiteral("orvpass1.txt")), QByteArray("fgh\r\n"));
        QCOMPARE(ReadStoredPassword(path), QStringLiteral("abc"));
        run.SetPasswords(QString(), QString());
        QCOMPARE(run.ReadFile(QStringLiteral("orvpass1.txt")), QByteArray("\r\n"));
        QCOMPARE(ReadStoredPassword(path), QString());
        // Every printable code of the page but the apostrophe comes back as written.
        QString everyCode;
        for (int code = 32; code <= 250; ++code)
            if (code != '\'')
                everyCode += Chars({code});
        run.SetPasswords(everyCode, QString());
        QCOMPARE(ReadStoredPassword(path), everyCode);
    }

    void oneFieldIsReadFromTheFirstLine_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("field");
        const char *rows[][3] = {{"plain line", "abc\r\n", "abc"},
                                 {"no line end", "abc", "abc"},
                                 {"text after a comma", "abc,def\r\n", "abc"},
                                 {"leading spaces skipped", "   abc \r\n", "abc "},
                                 {"quoted field keeps commas", " \"a,b\" rest\r\n", "a,b"},
                                 {"unclosed quote runs to the end", "\"ab\r\ncd", "ab\r\ncd"},
                                 {"later lines ignored", "one\r\ntwo\r\n", "one"},
                                 {"empty first line", "\r\nsecond\r\n", ""},
                                 {"lone LF ends the line", "ab\ncd", "ab"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QByteArray(row[1]) << QString(row[2]);
    }

    void oneFieldIsReadFromTheFirstLine() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, field);
        QCOMPARE(ReadTextField(contents), field);
    }

    // A missing file and an empty one are the gate's to show; a missing folder is told apart.
    void aMissingFolderIsAPathNotFound() {
        TestRun run;
        try {
            ReadStoredPassword(run.FilePath(QStringLiteral("gone/orvpass1.txt")));
            QFAIL("a file in a missing folder was read");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::PathNotFound);
        }
    }
};

QTEST_MAIN(tst_SecurityFiles)
#include "tst_SecurityFiles.moc"
