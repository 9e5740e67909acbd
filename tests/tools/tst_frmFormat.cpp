// The format tool: the drive list, and the removable drive handed to the format dialog.
#include "TestSupport.h"

#include "platform/CommandButton.h"
#include "platform/DriveListBox.h"
#include "platform/Services.h"
#include "tools/frmFormat.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QStorageInfo>

namespace {

// A machine with the drives a test gives it. Format requests are recorded and their dialog
// stays "open" until the test runs `closeDialog`.
class FakeDrives final : public DriveService {
public:
    explicit FakeDrives(QList<DriveEntry> drives)
        : m_drives(std::move(drives)) {}
    QList<DriveEntry> Drives() override { return m_drives; }
    void FormatDrive(QWidget *owner, int driveNumber, std::function<void()> whenClosed) override {
        requests.append({owner, driveNumber});
        closeDialog = std::move(whenClosed);
    }
    QList<std::pair<QWidget *, int>> requests;
    std::function<void()> closeDialog;

private:
    QList<DriveEntry> m_drives;
};

// Installs the fake for the run.
FakeDrives &InstallDrives(QList<DriveEntry> drives) {
    auto fake = std::make_unique<FakeDrives>(std::move(drives));
    FakeDrives &installed = *fake;
    Services::Current().drives = std::move(fake);
    return installed;
}

// Drives as letter, kind, label, device, mount point.
QList<DriveEntry> TypicalMachine() {
    return {{u'a', DriveKind::Removable, {}, {}, {}},
            {u'c', DriveKind::Fixed, {}, {}, "/"},
            {u'd', DriveKind::CdRom, "HOLIDAY 2003", {}, {}},
            {u'e', DriveKind::Removable, "STICK", {}, "/media/stick"},
            {u'z', DriveKind::Remote, "server:/export", {}, {}}};
}

frmFormat &OpenFormatWindow() {
    Module1::Forms().Show<frmFormat>();
    return Module1::Forms().Get<frmFormat>();
}

} // namespace

class tst_frmFormat : public QObject {
    Q_OBJECT
private slots:
    void showsItsTextsAndDrives();
    void formatThenDone_data();
    void formatThenDone();
};

// Opens on the drive holding the current folder, with the focus on the drive list.
void tst_frmFormat::showsItsTextsAndDrives() {
    TestRun run;
    const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();
    InstallDrives({{u'a', DriveKind::Removable, {}, {}, {}},
                   {u'c', DriveKind::Fixed, "elsewhere", {}, "/nowhere-in-particular"},
                   {u'd', DriveKind::Fixed, "HERE", {}, currentRoot}});
    frmFormat &window = OpenFormatWindow();
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
    QStringList listed;
    for (int i = 0; i < window.drvFormat->count(); ++i)
        listed.append(window.drvFormat->itemText(i));
    QCOMPARE(listed, (QStringList{"a:", "c: [elsewhere]", "d: [HERE]"}));
    QCOMPARE(window.drvFormat->Drive(), QStringLiteral("d: [HERE]"));

    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.drvFormat);
    for (QWidget *next : {window.cmdFormat, window.cmdFContinue}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void tst_frmFormat::formatThenDone_data() {
    QTest::addColumn<QString>("drive");
    QTest::addColumn<int>("driveNumber"); // handed to the format dialog; -1 when none opens
    QTest::newRow("fixed") << "c: [/]" << -1;
    QTest::newRow("optical") << "d: [HOLIDAY 2003]" << -1;
    QTest::newRow("network") << "z: [server:/export]" << -1;
    QTest::newRow("floppy a") << "a:" << 0;
    QTest::newRow("usb stick e") << "e: [STICK]" << 4;
}

void tst_frmFormat::formatThenDone() {
    QFETCH(QString, drive);
    QFETCH(int, driveNumber);
    TestRun run;
    FakeDrives &drives = InstallDrives(TypicalMachine());
    frmFormat &window = OpenFormatWindow();
    window.drvFormat->setCurrentIndex(window.drvFormat->findText(drive));
    QCOMPARE(window.drvFormat->Drive(), drive);

    QTest::mouseClick(window.cmdFormat, Qt::LeftButton);

    if (driveNumber >= 0) {
        QCOMPARE(drives.requests.size(), 1);
        QCOMPARE(drives.requests[0].first, &window);
        QCOMPARE(drives.requests[0].second, driveNumber);
        // While the dialog is open the window waits: nothing in it can be used, and the close
        // button has not changed yet.
        QVERIFY(!window.isEnabled());
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
        QTest::mouseClick(window.cmdFormat, Qt::LeftButton);
        QCOMPARE(drives.requests.size(), 1);
        std::exchange(drives.closeDialog, {})(); // formatted or cancelled: the window can't tell
    }
    QCOMPARE(drives.requests.size(), driveNumber >= 0 ? 1 : 0);
    QVERIFY(window.isEnabled());
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
    QCOMPARE(window.cmdFContinue->accessibleName(), QStringLiteral("Done"));
    QVERIFY(run.Messages().isEmpty());

    // Done hides the window, which comes back as it was left.
    QTest::mouseClick(window.cmdFContinue, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(&OpenFormatWindow(), &window);
    QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
    QCOMPARE(window.drvFormat->Drive(), drive);
}

QTEST_MAIN(tst_frmFormat)
#include "tst_frmFormat.moc"
