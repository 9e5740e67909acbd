#include "TestSupport.h"

#include "app/CommandLine.h"
#include "app/Gradient.h"
#include "app/SharedRoutines.h"
#include "app/frmSplash.h"
#include "security/AppFolder.h"
#include "security/frmPassEntry.h"
#include "tools/frmAbout.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>

namespace {

class CountingForm : public Form {
public:
    inline static int loads = 0;
    inline static int unloads = 0;
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};

class OtherForm : public Form {};

} // namespace

Q_DECLARE_METATYPE(GradientShape)

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void gradientRowsFollowHalfASineWave_data() {
        QTest::addColumn<GradientShape>("shape");
        QTest::addColumn<int>("y");
        QTest::addColumn<double>("height");
        QTest::addColumn<QColor>("color");
        // Dark blue edges, a white middle band; |sin(10 / (300 / 3.142)) * 390| = 40.78 -> 41.
        QTest::newRow("splash top") << kSplashGradient << 0 << 300.0 << QColor(0, 0, 100);
        QTest::newRow("splash bottom") << kSplashGradient << 300 << 300.0 << QColor(0, 0, 100);
        QTest::newRow("splash middle") << kSplashGradient << 150 << 300.0 << QColor(Qt::white);
        QTest::newRow("splash row 10") << kSplashGradient << 10 << 300.0 << QColor(41, 41, 141);
        QTest::newRow("blue limited") << kSplashGradient << 50 << 300.0 << QColor(195, 195, 255);
        // The About panel's: all blue, lighter; its last row is sin(3.01) * 220 = 28.87.
        QTest::newRow("about top") << kAboutGradient << 0 << 320.0 << QColor(0, 0, 255);
        QTest::newRow("about middle") << kAboutGradient << 160 << 320.0 << QColor(220, 220, 255);
        QTest::newRow("about bottom") << kAboutGradient << 320 << 320.0 << QColor(29, 29, 255);
        // Ties go to the even number: row 1 sits at the sine's peak, where the amplitude itself
        // is rounded.
        QTest::newRow("2.5 to 2") << GradientShape{1.0, 2.5, 0} << 1 << 2 / M_PI << QColor(2, 2, 2);
        QTest::newRow("3.5 to 4") << GradientShape{1.0, 3.5, 0} << 1 << 2 / M_PI << QColor(4, 4, 4);
    }

    void gradientRowsFollowHalfASineWave() {
        QFETCH(GradientShape, shape);
        QFETCH(int, y);
        QFETCH(double, height);
        QFETCH(QColor, color);
        QCOMPARE(GradientRowColor(shape, y, height), color);
    }

    void splashPaintsTheGradientAndStaysItsTwoSeconds() {
        TestRun run;
        frmSplash &splash = Module1::Forms().Show<frmSplash>();
        const QImage frame = splash.grab().toImage();
        const int h = splash.height();
        QCOMPARE(frame.pixelColor(2, 0), QColor(0, 0, 100));
        QCOMPARE(frame.pixelColor(2, h - 1), GradientRowColor(kSplashGradient, h - 1, h));
        QCOMPARE(frame.pixelColor(2, h / 2), QColor(255, 255, 255));
        QCOMPARE(Control<QLabel>(splash, "lblSVer").text(), QStringLiteral(" 1.0"));
        QVERIFY(!splash.close() && splash.isVisible());
        const QTimer &timer = Control<QTimer>(splash, "tmrTaskTimer");
        QVERIFY(timer.isActive() && timer.isSingleShot());
        QCOMPARE(timer.interval(), 2000);
        QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    }

    void splashHandsOverToTheGateWhenItsTimeIsUp() {
        TestRun run;
        run.SetPasswords(QStringLiteral("a"), QStringLiteral("b"));
        Module1::Forms().Show<frmSplash>(50);
        QVERIFY(!Module1::Forms().IsLoaded<frmPassEntry>());
        QTRY_VERIFY(Module1::Forms().IsLoaded<frmPassEntry>());
        TestRun::ProcessEvents();
        QVERIFY(!Module1::Forms().IsLoaded<frmSplash>());
        QVERIFY(Module1::Forms().Get<frmPassEntry>().isVisible());
        // The splash was the last window when it went, but the gate followed in the same
        // handler: the run goes on.
        QVERIFY(!run.Ended());
    }

    void registryLoadsEachKindOnceAndEndsWhenNothingIsLeft() {
        TestRun run;
        CountingForm::loads = CountingForm::unloads = 0;
        CountingForm &first = Module1::Forms().Get<CountingForm>();
        QCOMPARE(&Module1::Forms().Get<CountingForm>(), &first);
        Module1::Forms().Show<CountingForm>();
        QVERIFY(!first.close()); // closing from the window manager only hides
        QVERIFY(!first.isVisible());
        Module1::Forms().Show<CountingForm>();
        QCOMPARE(CountingForm::loads, 1);

        Module1::Forms().Get<OtherForm>();
        Module1::Forms().Unload<CountingForm>();
        QCOMPARE(CountingForm::unloads, 1);
        TestRun::ProcessEvents();
        QVERIFY(!run.Ended());
        Module1::Forms().Get<CountingForm>();
        QCOMPARE(CountingForm::loads, 2);

        Module1::Forms().UnloadAll();
        QVERIFY(!run.Ended()); // only once the current event is over
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QVERIFY(Module1::Forms().Loaded().isEmpty());
    }

    void cuesArePlayedFromTheGraphicsFolderOfTheProgram() {
        TestRun run;
        Module1::SetAppPath(run.FilePath(QStringLiteral("user")));
        Module1::PlayCue(QStringLiteral("\\graphics\\s_hi!.wav"));
        QCOMPARE(run.PlayedPaths(),
                 QStringList{run.FilePath(QStringLiteral("graphics/s_hi!.wav"))});
    }

    void userFilesStayBesideAPortableCopyElseGoToAFolderOfTheirOwn() {
        TestRun run;
        const QString program = run.FilePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program + QStringLiteral("/first-passwords")));
        run.WriteFile(QStringLiteral("program/first-passwords/orvpass1.txt"), "otzwsfq\r\n");
        run.WriteFile(QStringLiteral("program/first-passwords/orvpass2.txt"), "infw~\r\n");
        Module1::SetProgramPath(program);
        qputenv("XDG_DATA_HOME", QFile::encodeName(run.FilePath(QStringLiteral("data"))));
        const auto restore = qScopeGuard([] { qunsetenv("XDG_DATA_HOME"); });

        // Installed: the first start makes the user's folder and gives it the first passwords.
        QVERIFY(AppFolder::SetUpForThisRun());
        const QString user = AppFolder::UserFolder();
        const QString userFolder = QDir(run.AppFolder()).relativeFilePath(user);
        QVERIFY(userFolder.startsWith(QStringLiteral("data/")));
        QCOMPARE(Module1::AppPath(), user);
        QCOMPARE(run.ReadFile(userFolder + "/orvpass2.txt"), QByteArray("infw~\r\n"));
        run.SetPasswords(QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(AppFolder::Choose(program, user), user);
        QCOMPARE(run.ReadFile(userFolder + "/orvpass1.txt"), QByteArray("f\r\n"));

        // Portable: a writable program folder that holds the password files (a missing one is
        // the gate's to tell), and only then.
        const QString other = run.FilePath(QStringLiteral("other"));
        run.WriteFile(QStringLiteral("program/orvpass1.txt"), "otzwsfq\r\n");
        QCOMPARE(AppFolder::Choose(program, other), program);
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        PrivateMounts mounts(run.AppFolder());
        mounts.RefuseNewFiles(program, QString());
        QCOMPARE(AppFolder::Choose(program, other), other);
        QCOMPARE(run.ReadFile(QStringLiteral("other/orvpass1.txt")), QByteArray("otzwsfq\r\n"));

        run.WriteFile(QStringLiteral("file"), "not a folder");
        qputenv("XDG_DATA_HOME", QFile::encodeName(run.FilePath(QStringLiteral("file"))));
        QVERIFY(!AppFolder::SetUpForThisRun());
        QCOMPARE(run.Messages().size(), 1);
        QVERIFY(run.Messages().constFirst().contains(AppFolder::UserFolder() +
                                                     QStringLiteral(", which it could not")));
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QCOMPARE(run.ExitCode(), 1);
    }

    void commandLineAsksForAFileHelpOrTheVersion_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode"); // -1: the run goes on
        QTest::addColumn<QString>("says");
        const QDir here = QDir::current();
        const auto row = [](const char *name, const QStringList &arguments, const QString &file,
                            int exitCode, const QString &says) {
            QTest::newRow(name) << arguments << file << exitCode << says;
        };
        row("nothing", {}, {}, -1, {});
        row("a file, made full", {"entry.rtf"}, here.absoluteFilePath("entry.rtf"), -1, {});
        row("a file named like an option", {"--", "-x.rtf"}, here.absoluteFilePath("-x.rtf"), -1,
            {});
        row("help", {"--help"}, {}, 0, "Usage: quillory [FILE]\n");
        row("version", {"-v", "entry.rtf"}, {}, 0, QCoreApplication::applicationName() + ' ');
        row("unknown option", {"--bogus"}, {}, 2, "quillory: Unknown option 'bogus'.\n");
        row("two files", {"a.rtf", "b.rtf"}, {}, 2, "quillory: one file at most, not 2\n");
    }

    void commandLineAsksForAFileHelpOrTheVersion() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const CommandLine request =
            CommandLine::Read(QStringList{QStringLiteral("quillory")} + arguments);
        QCOMPARE(request.file, file);
        QCOMPARE(request.endsAtOnce ? request.exitCode : -1, exitCode);
        QVERIFY2(request.text.startsWith(says), qPrintable(request.text));
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
