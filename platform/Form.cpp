#include "platform/Form.h"

#include "platform/PressableAccessible.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWindow>
#include <algorithm>

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

namespace {

// The top left corner for a window of `size` next to `avoid` and inside `room`, overlapping
// none of `avoid`: below it, else above, right or left of it, centred along that side.
QPoint PlaceBeside(const QSize &size, const QRect &avoid, const QRect &room) {
    constexpr int gap = 8;
    const auto clamped = [&](int at, int low, int length, int roomLength) {
        return std::clamp(at, low, std::max(low, low + roomLength - length));
    };
    const int centredX =
        clamped(avoid.center().x() - size.width() / 2, room.left(), size.width(), room.width());
    const int centredY =
        clamped(avoid.center().y() - size.height() / 2, room.top(), size.height(), room.height());
    const QPoint below(centredX, avoid.bottom() + 1 + gap);
    const QPoint candidates[] = {below,
                                 {centredX, avoid.top() - gap - size.height()},
                                 {avoid.right() + 1 + gap, centredY},
                                 {avoid.left() - gap - size.width(), centredY}};
    for (const QPoint &at : candidates)
        if (room.contains(QRect(at, size)))
            return at;
    // No side has room: as far below as the screen allows.
    return {centredX, clamped(below.y(), room.top(), size.height(), room.height())};
}

} // namespace

void Form::ShowNextTo(const QWidget &other) {
    m_centred = true; // placed here, not in the middle of the screen
    // Our frame is not known before the first showing; the window manager frames both alike.
    const QRect otherFrame = other.frameGeometry();
    const QRect otherInside = other.geometry();
    const QMargins frame(
        otherInside.left() - otherFrame.left(), otherInside.top() - otherFrame.top(),
        otherFrame.right() - otherInside.right(), otherFrame.bottom() - otherInside.bottom());
    const QScreen *screen = other.screen();
    const QRect room = screen ? screen->availableGeometry() : otherFrame;
    move(PlaceBeside(size().grownBy(frame), otherFrame, room));
    // Window managers keep a dialog above the window it is transient for.
    if (windowType() != Qt::Dialog)
        setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    winId(); // the native window, to name its transient parent
    windowHandle()->setTransientParent(other.windowHandle());
    Show();
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
