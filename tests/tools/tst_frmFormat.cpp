#include "FakeDrives.h"
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "platform/CommandButton.h"
#include "platform/DriveListBox.h"
#include "tools/frmFormat.h"

#include <QDir>
#include <QLabel>
#include <QStorageInfo>
#include <QTest>

namespace {

QList<DriveEntry> TypicalMachine() {
    return {MakeDrive('a', DriveKind::Removable, {}),
            MakeDrive('c', DriveKind::Fixed, {}, QStringLiteral("/")),
            MakeDrive('d', DriveKind::CdRom, QStringLiteral("HOLIDAY 2003")),
            MakeDrive('e', DriveKind::Removable, QStringLiteral("STICK"),
                      QStringLiteral("/media/stick")),
            MakeDrive('z', DriveKind::Remote, QStringLiteral("server:/export"))};
}

void Select(frmFormat &window, const QString &driveText) {
    const int index = window.drvFormat->findText(driveText);
    QVERIFY2(index >= 0, qPrintable(driveText));
    window.drvFormat->setCurrentIndex(index);
}

} // namespace

class tst_frmFormat : public QObject {
    Q_OBJECT
private slots:
    void showsItsTexts();
    void nonRemovableDrivesOpenNothing_data();
    void nonRemovableDrivesOpenNothing();
    void removableDriveIsHandedToTheFormatDialog_data();
    void removableDriveIsHandedToTheFormatDialog();
    void doneSurvivesHiding();
    void opensOnTheDriveListWithTheCurrentDrive();
};

void tst_frmFormat::showsItsTexts() {
    TestRun run;
    InstalledDrives drives(TypicalMachine());
    frmFormat &window = Module1::Forms().Get<frmFormat>();
    QCOMPARE(window.windowTitle(), QStringLiteral("Format 3.5\" floppy disk"));
    const QString instructions = window.lblFMsg->text();
    QCOMPARE(instructions.size(), 277);
    QVERIFY(instructions.startsWith(
        QStringLiteral("1). Please insert the floppy disk in the drive BEFORE starting!") +
        QString(131, QLatin1Char(' ')) + QStringLiteral("2). Select")));
    QVERIFY(instructions.endsWith(QStringLiteral("click the 'Format' button.")));
    QCOMPARE(window.lblFWarn->text(),
             QStringLiteral("Warning: All data will be lost when formatted!! "));
    QCOMPARE(window.cmdFormat->text(), QStringLiteral("&Format"));
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
    QStringList listed;
    for (int i = 0; i < window.drvFormat->count(); ++i)
        listed.append(window.drvFormat->itemText(i));
    QCOMPARE(listed, (QStringList{"a:", "c: [/]", "d: [HOLIDAY 2003]", "e: [STICK]",
                                  "z: [server:/export]"}));
}

void tst_frmFormat::nonRemovableDrivesOpenNothing_data() {
    QTest::addColumn<QString>("drive");
    QTest::newRow("fixed") << "c: [/]";
    QTest::newRow("optical") << "d: [HOLIDAY 2003]";
    QTest::newRow("network") << "z: [server:/export]";
}

void tst_frmFormat::nonRemovableDrivesOpenNothing() {
    QFETCH(QString, drive);
    TestRun run;
    InstalledDrives drives(TypicalMachine());
    Module1::Forms().Show<frmFormat>();
    frmFormat &window = Module1::Forms().Get<frmFormat>();
    Select(window, drive);

    QTest::mouseClick(window.cmdFormat, Qt::LeftButton);

    QVERIFY(drives->requests.isEmpty());
    QVERIFY(run.Messages().isEmpty());
    QVERIFY(window.isEnabled());
    QVERIFY(!window.IsWaitingForFormatDialog());
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
    QCOMPARE(window.cmdFContinue->accessibleName(), QStringLiteral("Done"));
}

void tst_frmFormat::removableDriveIsHandedToTheFormatDialog_data() {
    QTest::addColumn<QString>("drive");
    QTest::addColumn<int>("driveNumber");
    QTest::newRow("floppy a") << "a:" << 0;
    QTest::newRow("usb stick e") << "e: [STICK]" << 4;
}

void tst_frmFormat::removableDriveIsHandedToTheFormatDialog() {
    QFETCH(QString, drive);
    QFETCH(int, driveNumber);
    TestRun run;
    InstalledDrives drives(TypicalMachine());
    Module1::Forms().Show<frmFormat>();
    frmFormat &window = Module1::Forms().Get<frmFormat>();
    Select(window, drive);

    QTest::mouseClick(window.cmdFormat, Qt::LeftButton);

    QCOMPARE(drives->requests.size(), 1);
    QCOMPARE(drives->requests[0].driveNumber, driveNumber);
    QCOMPARE(drives->requests[0].owner.data(), &window);
    // While the dialog is open the window waits: nothing in it can be used, and the close
    // button has not changed yet.
    QVERIFY(window.IsWaitingForFormatDialog());
    QVERIFY(!window.isEnabled());
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
    QTest::mouseClick(window.cmdFormat, Qt::LeftButton);
    QCOMPARE(drives->requests.size(), 1);

    drives->CloseDialog(); // formatted or cancelled: the window cannot tell, and need not
    QVERIFY(!window.IsWaitingForFormatDialog());
    QVERIFY(window.isEnabled());
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
    QVERIFY(run.Messages().isEmpty());
}

void tst_frmFormat::doneSurvivesHiding() {
    TestRun run;
    InstalledDrives drives(TypicalMachine());
    Module1::Forms().Show<frmFormat>();
    frmFormat &window = Module1::Forms().Get<frmFormat>();
    Select(window, QStringLiteral("c: [/]"));
    QTest::mouseClick(window.cmdFormat, Qt::LeftButton);

    QTest::mouseClick(window.cmdFContinue, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmFormat>());

    Module1::Forms().Show<frmFormat>();
    QCOMPARE(&Module1::Forms().Get<frmFormat>(), &window);
    QVERIFY(window.isVisible());
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
    QCOMPARE(window.drvFormat->Drive(), QStringLiteral("c: [/]"));
}

void tst_frmFormat::opensOnTheDriveListWithTheCurrentDrive() {
    TestRun run;
    const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();
    InstalledDrives drives({MakeDrive('a', DriveKind::Removable, {}),
                            MakeDrive('c', DriveKind::Fixed, QStringLiteral("elsewhere"),
                                      QStringLiteral("/nowhere-in-particular")),
                            MakeDrive('d', DriveKind::Fixed, QStringLiteral("HERE"), currentRoot)});
    Module1::Forms().Show<frmFormat>();
    frmFormat &window = Module1::Forms().Get<frmFormat>();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.drvFormat->Drive(), QStringLiteral("d: [HERE]"));
    QCOMPARE(QApplication::focusWidget(), window.drvFormat);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.cmdFormat);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.cmdFContinue);
}

QTEST_MAIN(tst_frmFormat)
#include "tst_frmFormat.moc"
