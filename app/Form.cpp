#include "app/Form.h"

#include "platform/PressableAccessible.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace {

// Qt takes a window of no special kind for a filler.
class AccessibleForm final : public PressableAccessible {
public:
    explicit AccessibleForm(Form *form)
        : PressableAccessible(form, QAccessible::Dialog) {}
    // Asked each time: the window's kind is known only once it is fully built.
    QAccessible::Role role() const override { return Window()->AccessibleRole(); }

private:
    Form *Window() const { return static_cast<Form *>(widget()); }
    bool CanPress() const override { return Window()->isEnabled() && Window()->TakesClicks(); }
    void Press() override { Window()->Form_Click(); }
};

QAccessibleInterface *MakeAccessibleForm(const QString &className, QObject *object) {
    if (className == QLatin1String("Form"))
        return new AccessibleForm(static_cast<Form *>(object));
    return nullptr;
}

} // namespace

Form::Form(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    static const bool accessibleForms = (QAccessible::installFactory(MakeAccessibleForm), true);
    Q_UNUSED(accessibleForms);
}

void Form::Show() {
    show();
    raise();
    activateWindow();
}

void Form::Hide() {
    hide();
}

void Form::MakeFixedWindowWithoutButtons() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void Form::MakeBorderlessWindow() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
}

void Form::FixSizeToContents() {
    if (layout())
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    setFixedSize(size());
}

void Form::closeEvent(QCloseEvent *event) {
    // A close request from the window manager hides, as the window's own buttons do.
    event->ignore();
    Hide();
}

void Form::showEvent(QShowEvent *event) {
    if (!m_centred) {
        m_centred = true;
        CenterOnScreen();
    }
    QWidget::showEvent(event);
}

void Form::CenterOnScreen() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
