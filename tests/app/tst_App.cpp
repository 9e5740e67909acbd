#include "MainWindowDriver.h"

#include "app/CommandLine.h"
#include "app/Gradient.h"
#include "app/SharedRoutines.h"
#include "app/frmSplash.h"
#include "entry/frmFileErr.h"
#include "entry/frmNoFind.h"
#include "entry/frmSearch.h"
#include "mainwindow/frmAskQuit.h"
#include "platform/ClickableLabel.h"
#include "platform/HelpViewer.h"
#include "security/AppFolder.h"
#include "security/frmPassChange.h"
#include "security/frmPassEntry.h"
#include "security/frmView.h"
#include "tools/frmAbout.h"
#include "tools/frmCalendar.h"
#include "tools/frmEgg.h"
#include "tools/frmFormat.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>

namespace {

using Reach = QWidget *(*)();
template <class T> QWidget *Shown() {
    return &Module1::Forms().Show<T>();
}

// After a typed character every status panel shows something.
frmMain &Typed() {
    frmMain &main = OpenMainWindow();
    QTest::keyClick(&EntryOf(main), Qt::Key_A);
    return main;
}

QWidget *SearchShown() {
    Item(Typed(), QStringLiteral("mnuMTSearch")).trigger();
    return Module1::Forms().Find<frmSearch>();
}

QWidget *HelpShown() {
    HelpViewer::Run(QFINDTESTDATA("../../assets/help/orvquillory.hlp"), HelpViewer::kHelpFinder);
    return HelpViewer::Current();
}

QString Describe(QAccessibleInterface *control) {
    return QStringLiteral("%1 '%2' (role %3)")
        .arg(control->object() ? control->object()->objectName() : QString(),
             control->text(QAccessible::Name))
        .arg(control->role());
}

bool FillerOrUnknown(QAccessible::Role role) {
    return role == QAccessible::NoRole || role == QAccessible::Client ||
           role == QAccessible::Whitespace || role == QAccessible::Grip ||
           role >= QAccessible::UserRole;
}

bool Named(QAccessibleInterface *control) {
    // A table's empty corner cell shows nothing to name.
    if (control->role() == QAccessible::Cell)
        return true;
    const auto labels = control->relations(QAccessible::Label);
    const bool labelled = std::any_of(labels.begin(), labels.end(), [](const auto &label) {
        return !label.first->text(QAccessible::Name).isEmpty();
    });
    // A drop-down list is named by its choice; only a label says what is chosen.
    const auto *list = qobject_cast<const QComboBox *>(control->object());
    if (list && !list->isEditable())
        return labelled;
    return labelled || !control->text(QAccessible::Name).isEmpty();
}

QStringList ActionsOf(QAccessibleInterface *control) {
    return control->actionInterface() ? control->actionInterface()->actionNames() : QStringList();
}

// Operable: takes the keys itself, is a button or a clickable label, or an item with focus or
// action.
bool Clickable(const QWidget *widget) {
    const auto *label = qobject_cast<const ClickableLabel *>(widget);
    return widget->inherits("QAbstractButton") || (label && label->TakesClicks());
}

bool Operable(QAccessibleInterface *control) {
    auto *widget = qobject_cast<QWidget *>(control->object());
    if (!widget)
        return control->state().focusable || !ActionsOf(control).isEmpty();
    return (widget->focusPolicy() != Qt::NoFocus && !widget->focusProxy()) || Clickable(widget);
}

// What a mouse user does with it, a screen reader must be able to do by an action.
bool Pressable(QAccessibleInterface *control) {
    auto *widget = qobject_cast<QWidget *>(control->object());
    if (!widget || !widget->isEnabled() || !Clickable(widget))
        return true;
    const QStringList actions = ActionsOf(control);
    return actions.contains(QAccessibleActionInterface::pressAction()) ||
           actions.contains(QAccessibleActionInterface::showMenuAction());
}

void Walk(QAccessibleInterface *parent, QStringList &faults) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *control = parent->child(i);
        if (!control || control->state().invisible)
            continue;
        if (Operable(control)) {
            if (FillerOrUnknown(control->role()))
                faults << QStringLiteral("no role: ") + Describe(control);
            if (!Named(control))
                faults << QStringLiteral("no name: ") + Describe(control);
            if (!Pressable(control))
                faults << QStringLiteral("no press: ") + Describe(control);
        }
        Walk(control, faults);
    }
}

template <class T, class... Args> T &Over(Args... args) {
    Typed();
    return Module1::Forms().Show<T>(args...);
}

QString Outcome(const TestRun &run) {
    if (run.Ended())
        return QStringLiteral("ended");
    frmMain &main = Module1::Forms().Get<frmMain>();
    QStringList shown;
    for (const Form *form : Module1::Forms().Loaded())
        if (form->isVisible())
            shown << form->objectName();
    QString pressed;
    for (const ToolbarButton *button : main.findChildren<ToolbarButton *>())
        pressed += QString::number(button->Value());
    return QStringLiteral("'%1' '%2' %3 %4")
        .arg(EntryOf(main).toPlainText(), Marker(main), pressed, shown.join(QLatin1Char(',')));
}

class CountingForm : public Form {
public:
    inline static int loads = 0;
    inline static int unloads = 0;
    void Form_Load() override { ++loads; }
    void Form_Unload() override { ++unloads; }
};

class OtherForm : public Form {};

} // namespace

Q_DECLARE_METATYPE(Reach)

Q_DECLARE_METATYPE(GradientShape)

class tst_App : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { HelpViewer::Discard(); }

    void everyWindowCanBeUsed_data() {
        QTest::addColumn<Reach>("open");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        const int frame = QAccessible::Window;
        const int dialog = QAccessible::Dialog;
        QTest::newRow("splash") << &Shown<frmSplash> << dialog << "Quillory";
        QTest::newRow("gate") << &Shown<frmPassEntry> << dialog << "Password entry";
        QTest::newRow("main") << Reach([]() -> QWidget * { return &Typed(); }) << frame
                              << "Main screen";
        QTest::newRow("quit") << &Shown<frmAskQuit> << dialog << "Quit program?";
        QTest::newRow("file error") << Reach([]() -> QWidget * { return &Over<frmFileErr>(53); })
                                    << dialog << "File error!";
        QTest::newRow("not found") << &Shown<frmNoFind> << dialog << "Not found!";
        QTest::newRow("search") << &SearchShown << dialog << "Search";
        QTest::newRow("log") << &Shown<frmView> << dialog << "View security log";
        QTest::newRow("passwords") << &Shown<frmPassChange> << dialog << "Change passwords";
        QTest::newRow("calendar") << &Shown<frmCalendar> << dialog << "Calendar";
        QTest::newRow("format") << &Shown<frmFormat> << dialog << "Format 3.5\" floppy disk";
        QTest::newRow("about") << &Shown<frmAbout> << dialog << "About Quillory";
        QTest::newRow("card") << &Shown<frmEgg> << dialog << "Author's card";
        QTest::newRow("help") << &HelpShown << frame << "Help Topics: Quillory Help";
    }

    void everyWindowCanBeUsed() {
        QFETCH(Reach, open);
        QFETCH(int, role);
        QFETCH(QString, name);
        TestRun run;
        run.WriteFile(QStringLiteral("orvlog.txt"), "authorized 12/5/2026 10:52:57 PM\r\n");
        QWidget *window = open();
        QVERIFY(window && window->isVisible());
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(int(spoken->role()), role);
        QCOMPARE(spoken->text(QAccessible::Name), name);
        QStringList faults;
        Walk(spoken, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void pressDoesWhatAClickDoes_data() {
        QTest::addColumn<Reach>("target");
        // One control of each kind; the walk above finds the same action on every other one.
        QTest::newRow("toggle") << Reach([]() -> QWidget * { return &Button(Typed(), "bold"); });
        QTest::newRow("yes") << Reach([]() -> QWidget * { return Over<frmAskQuit>().lblAQYes; });
        QTest::newRow("card") << Reach([]() -> QWidget * { return &Over<frmEgg>(); });
    }

    void pressDoesWhatAClickDoes() {
        QFETCH(Reach, target);
        QString before, clicked;
        {
            TestRun run;
            QWidget *control = target();
            before = Outcome(run);
            // A window is clicked on its bare edge.
            QTest::mouseClick(control, Qt::LeftButton, {},
                              control->isWindow() ? QPoint(2, 2) : QPoint());
            TestRun::ProcessEvents();
            clicked = Outcome(run);
        }
        QVERIFY2(clicked != before, qPrintable(before));
        TestRun run;
        QAccessibleActionInterface *actions =
            QAccessible::queryAccessibleInterface(target())->actionInterface();
        QCOMPARE(actions->actionNames().value(0), QAccessibleActionInterface::pressAction());
        QVERIFY(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()).isEmpty());
        actions->doAction(QAccessibleActionInterface::pressAction());
        TestRun::ProcessEvents();
        QCOMPARE(Outcome(run), clicked);
    }

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
        // Ties go to the even number; row 1 sits at the peak, where the amplitude itself is
        // rounded.
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
        // The splash left last, but the gate came in the same handler: the run goes on.
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

QTEST_MAIN(tst_App)
#include "tst_App.moc"
