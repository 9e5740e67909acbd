#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Gradient.h"
#include "app/Module1.h"
#include "app/frmSplash.h"
#include "security/frmPassEntry.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

// A window that counts its loads and unloads, to watch the registry.
class CountingForm : public Form {
public:
    inline static int loads = 0;
    inline static int unloads = 0;
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};

class OtherForm : public Form {};

} // namespace

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void gradientRowsFollowHalfASineWave() {
        const double height = 300;
        // Top and bottom edges are dark blue; the middle band is white.
        QCOMPARE(GradientRowColor(kSplashGradient, 0, height), QColor(0, 0, 100));
        QCOMPARE(GradientRowColor(kSplashGradient, 300, height), QColor(0, 0, 100));
        QCOMPARE(GradientRowColor(kSplashGradient, 150, height), QColor(255, 255, 255));
        // Row 10: |sin(10 / (300 / 3.142)) * 390| = 40.78 -> 41; blue adds 100.
        QCOMPARE(GradientRowColor(kSplashGradient, 10, height), QColor(41, 41, 141));
        // Row 50: 195.03 -> 195, blue limited to 255.
        QCOMPARE(GradientRowColor(kSplashGradient, 50, height), QColor(195, 195, 255));
        // Ties go to the even number: height and divisor chosen so that row 1 sits at the
        // sine's peak (exactly 1.0), where the amplitude itself is rounded.
        QCOMPARE(GradientRowColor(GradientShape{1.0, 2.5, 0}, 1, 2 / M_PI).red(), 2);
        QCOMPARE(GradientRowColor(GradientShape{1.0, 3.5, 0}, 1, 2 / M_PI).red(), 4);
    }

    void splashPaintsTheGradientFromItsFirstFrame() {
        TestRun run;
        frmSplash &splash = Module1::Forms().Get<frmSplash>();
        const QImage frame = splash.grab().toImage();
        const int h = splash.height();
        QCOMPARE(frame.pixelColor(2, 0), QColor(0, 0, 100));
        QCOMPARE(frame.pixelColor(2, h - 1), GradientRowColor(kSplashGradient, h - 1, h));
        QCOMPARE(frame.pixelColor(2, h / 2), QColor(255, 255, 255));
        QCOMPARE(splash.Label1->text(), QStringLiteral("Quillory"));
        QCOMPARE(splash.lblSVer->text(), QStringLiteral(" 1.0"));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    }

    void splashHandsOverToTheGateAfterTwoSeconds() {
        TestRun run;
        run.SetPasswords(QStringLiteral("a"), QStringLiteral("b"));
        QElapsedTimer clock;
        clock.start();
        Module1::Forms().Show<frmSplash>();
        // Nothing the user does shortens the splash: a close request (Alt+F4) is ignored.
        Module1::Forms().Get<frmSplash>().close();
        QTest::qWait(1500);
        QVERIFY(Module1::Forms().Get<frmSplash>().isVisible());
        QVERIFY(!Module1::Forms().IsLoaded<frmPassEntry>());
        QTRY_VERIFY_WITH_TIMEOUT(Module1::Forms().IsLoaded<frmPassEntry>(), 2000);
        QVERIFY(clock.elapsed() >= 2000);
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
        // A later reference creates a fresh window, whose Load runs again.
        Module1::Forms().Get<CountingForm>();
        QCOMPARE(CountingForm::loads, 2);

        Module1::Forms().UnloadAll();
        QVERIFY(!run.Ended()); // only once the current event is over
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QVERIFY(Module1::Forms().Loaded().isEmpty());
    }

    void cuesArePlayedFromTheGraphicsFolderOfTheApplicationPath() {
        TestRun run;
        QStringList played;
        Module1::SetCuePlayer(std::make_unique<RecordingCuePlayer>(&played));
        Module1::PlayCue(QStringLiteral("\\graphics\\s_hi!.wav"));
        QCOMPARE(played, QStringList{run.AppFolder() + QStringLiteral("/graphics/s_hi!.wav")});
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
