#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "platform/ClickableLabel.h"
#include "tools/frmAbout.h"

#include <QImage>
#include <QLabel>
#include <QTest>

class tst_frmAbout : public QObject {
    Q_OBJECT
private slots:
    void gradientRunsFromBlueThroughLightToBlue();
    void showsItsTextsOnTheGradient();
    void everyClickHidesAndOnlyTheLastLineArms_data();
    void everyClickHidesAndOnlyTheLastLineArms();
};

void tst_frmAbout::gradientRunsFromBlueThroughLightToBlue() {
    const double height = 320;
    QCOMPARE(GradientRowColor(kAboutGradient, 0, height), QColor(0, 0, 255));
    QCOMPARE(GradientRowColor(kAboutGradient, 160, height), QColor(220, 220, 255));
    // The last row is y = height: sin(3.01) * 220 = 28.87.
    QCOMPARE(GradientRowColor(kAboutGradient, 320, height), QColor(29, 29, 255));
    int lightest = 0;
    for (int y = 0; y <= 320; ++y) {
        const QColor color = GradientRowColor(kAboutGradient, y, height);
        QCOMPARE(color.blue(), 255);
        QCOMPARE(color.red(), color.green());
        lightest = std::max(lightest, color.red());
    }
    QCOMPARE(lightest, 220);
}

void tst_frmAbout::showsItsTextsOnTheGradient() {
    TestRun run;
    Module1::Forms().Show<frmAbout>();
    frmAbout &window = Module1::Forms().Get<frmAbout>();
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(window.lblAMsg2->text(), QStringLiteral("Thanks for trying my progrtam :-)"));
    const QString credits = window.lblAMsg->text();
    QVERIFY(credits.startsWith(QStringLiteral(
        "The following people have helped me with this program  by studying their code: ")));
    QVERIFY(credits.contains(QStringLiteral("Qt 6")) && credits.contains("libcanberra"));
    QVERIFY(credits.trimmed().endsWith(QStringLiteral("Thanks!")));
    QCOMPARE(window.lblAMsg1->text().count(QLatin1Char(' ')), 1);

    const QImage image = window.grab().toImage();
    const int h = image.height();
    QCOMPARE(h, window.height());
    const int x = 2; // left of every label
    QCOMPARE(image.pixelColor(x, 0), QColor(0, 0, 255));
    QCOMPARE(image.pixelColor(x, h / 2), QColor(220, 220, 255));
    QCOMPARE(image.pixelColor(x, h - 1), GradientRowColor(kAboutGradient, h - 1, h));
    QCOMPARE(image.pixelColor(image.width() - 1, h / 2), QColor(220, 220, 255));
}

void tst_frmAbout::everyClickHidesAndOnlyTheLastLineArms_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("armed");
    QTest::newRow("background") << "frmAbout" << 0;
    QTest::newRow("credits") << "lblAMsg" << 0;
    QTest::newRow("addresses") << "lblAMsg1" << 0;
    QTest::newRow("thanks") << "lblAMsg2" << 1;
}

void tst_frmAbout::everyClickHidesAndOnlyTheLastLineArms() {
    QFETCH(QString, target);
    QFETCH(int, armed);
    TestRun run;
    Module1::Forms().Show<frmAbout>();
    frmAbout &window = Module1::Forms().Get<frmAbout>();
    QWidget *widget = target == window.objectName() ? &window : window.findChild<QWidget *>(target);
    QVERIFY(widget);
    const QPoint point = widget == &window ? QPoint(4, 4) : widget->rect().center();

    // A press alone does nothing, nor does a click of the other button.
    QTest::mouseClick(widget, Qt::RightButton, {}, point);
    QVERIFY(window.isVisible());

    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QVERIFY(!window.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmAbout>());
    QCOMPARE(Module1::gCardArmed, qint16(armed));

    // Once armed, it stays armed, whatever is clicked at the next showing.
    Module1::Forms().Show<frmAbout>();
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(Module1::gCardArmed, qint16(armed));
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
