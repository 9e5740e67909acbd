#include "TestSupport.h"

#include "platform/AnsiCodePage.h"
#include "platform/RuntimeError.h"
#include "security/PasswordStore.h"

using namespace PasswordStore;

class tst_PasswordStore : public QObject {
    Q_OBJECT

private:
    static QString Chars(std::initializer_list<int> codes) {
        QByteArray bytes;
        for (int code : codes)
            bytes.append(static_cast<char>(code));
        return AnsiCodePage::Decode(bytes);
    }

private slots:
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

QTEST_MAIN(tst_PasswordStore)
#include "tst_PasswordStore.moc"
