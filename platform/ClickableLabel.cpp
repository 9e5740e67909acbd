#include "platform/ClickableLabel.h"

#include "platform/PressableAccessible.h"

#include <QMetaMethod>
#include <QMouseEvent>

namespace {

class AccessibleLabel final : public PressableAccessible {
public:
    explicit AccessibleLabel(ClickableLabel *label)
        : PressableAccessible(label, QAccessible::StaticText) {}

    // Asked each time: the label may be a kind of button, known only once it is fully built.
    QAccessible::Role role() const override { return Label()->AccessibleRole(); }
    QString text(QAccessible::Text kind) const override {
        const QString text = PressableAccessible::text(kind);
        return kind == QAccessible::Name && text.isEmpty() ? Label()->text() : text;
    }

private:
    ClickableLabel *Label() const { return static_cast<ClickableLabel *>(widget()); }
    bool CanPress() const override { return Label()->isEnabled() && Label()->TakesClicks(); }
    void Press() override { emit Label()->Click(); }
};

QAccessibleInterface *MakeAccessibleLabel(const QString &className, QObject *object) {
    if (className == QLatin1String("ClickableLabel"))
        return new AccessibleLabel(static_cast<ClickableLabel *>(object));
    return nullptr;
}

} // namespace

ClickableLabel::ClickableLabel(const QString &caption, QWidget *parent)
    : QLabel(parent) {
    static const bool accessibleLabels = (QAccessible::installFactory(MakeAccessibleLabel), true);
    Q_UNUSED(accessibleLabels);
    // Set only now, so that the screen reader's view of the label, made at the first change,
    // is this class's and not a plain label's.
    setText(caption);
}

bool ClickableLabel::TakesClicks() const {
    return isSignalConnected(QMetaMethod::fromSignal(&ClickableLabel::Click));
}

void ClickableLabel::mousePressEvent(QMouseEvent *event) {
    m_click.Press(event);
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    if (m_click.Release(event, this))
        emit Click();
}
