#include "MainWindowDriver.h"

#include "app/frmSplash.h"
#include "entry/frmFileErr.h"
#include "entry/frmNoFind.h"
#include "entry/frmSearch.h"
#include "mainwindow/frmAskQuit.h"
#include "platform/ClickableLabel.h"
#include "platform/HelpViewer.h"
#include "platform/RichTextBox.h"
#include "security/frmPassChange.h"
#include "security/frmPassEntry.h"
#include "security/frmView.h"
#include "tools/frmAbout.h"
#include "tools/frmCalendar.h"
#include "tools/frmEgg.h"
#include "tools/frmFormat.h"

#include <QAccessible>
#include <QComboBox>
#include <QStandardPaths>

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

// A control a user can operate: one that takes the keyboard itself, a button, or a label that
// takes clicks; inside a control, an item that takes the focus or an action.
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

} // namespace

Q_DECLARE_METATYPE(Reach)

class Accessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
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
};

QTEST_MAIN(Accessibility)
#include "tst_Accessibility.moc"
