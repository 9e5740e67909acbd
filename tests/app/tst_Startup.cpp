// The start of a run: the splash and its gradient, the window registry.
#include "TestSupport.h"

#include "app/Gradient.h"
#include "app/frmSplash.h"
#include "security/frmPassEntry.h"
#include "tools/frmAbout.h"

#include <QImage>
#include <QLabel>
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
        Module1::Forms().Show<frmSplash>();
        frmSplash &splash = Module1::Forms().Get<frmSplash>();
        const QImage frame = splash.grab().toImage();
        const int h = splash.height();
        QCOMPARE(frame.pixelColor(2, 0), QColor(0, 0, 100));
        QCOMPARE(frame.pixelColor(2, h - 1), GradientRowColor(kSplashGradient, h - 1, h));
        QCOMPARE(frame.pixelColor(2, h / 2), QColor(255, 255, 255));
        QCOMPARE(Control<QLabel>(splash, "lblSVer").text(), QStringLiteral(" 1.0"));
        // Nothing the user does shortens it: a close request (Alt+F4) is ignored.
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
        // A later reference creates a fresh window, whose Load runs again.
        Module1::Forms().Get<CountingForm>();
        QCOMPARE(CountingForm::loads, 2);

        Module1::Forms().UnloadAll();
        QVERIFY(!run.Ended()); // only once the current event is over
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QVERIFY(Module1::Forms().Loaded().isEmpty());
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
