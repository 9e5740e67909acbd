#include "platform/Toolbar.h"

#include "platform/PressableAccessible.h"

namespace {

// Qt would offer a toggle button as a check box whose only action flips its look.
class AccessibleToolbarButton final : public PressableAccessible {
public:
    explicit AccessibleToolbarButton(ToolbarButton *button)
        : PressableAccessible(button, QAccessible::Button) {}

private:
    void Press() override { static_cast<ToolbarButton *>(widget())->click(); }
};

QAccessibleInterface *MakeAccessibleButton(const QString &className, QObject *object) {
    if (className == QLatin1String("ToolbarButton"))
        return new AccessibleToolbarButton(static_cast<ToolbarButton *>(object));
    return nullptr;
}

} // namespace

ToolbarButton::ToolbarButton(QString key, const QString &toolTip, QWidget *parent)
    : QToolButton(parent)
    , m_key(std::move(key)) {
    static const bool accessibleButtons = (QAccessible::installFactory(MakeAccessibleButton), true);
    Q_UNUSED(accessibleButtons);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(toolTip);
}

Toolbar::Toolbar(QWidget *parent)
    : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

ToolbarButton *Toolbar::AddButton(const QString &key, const QString &toolTip,
                                  const QIcon &picture) {
    auto *button = new ToolbarButton(key, toolTip, this);
    button->setIcon(picture);
    button->setIconSize(iconSize());
    addWidget(button);
    m_positions.append(button);
    connect(button, &QToolButton::clicked, this, [this, button] { emit ButtonClick(button); });
    return button;
}

void Toolbar::AddSeparator() {
    addSeparator();
    m_positions.append(nullptr);
}

ToolbarButton *Toolbar::Buttons(int position) const {
    if (position < 1 || position > Count())
        return nullptr;
    return m_positions.at(position - 1);
}

ToolbarButton *Toolbar::ButtonByKey(const QString &key) const {
    for (ToolbarButton *button : m_positions)
        if (button && button->Key() == key)
            return button;
    return nullptr;
}

bool Toolbar::IsSeparator(int position) const {
    return position >= 1 && position <= Count() && m_positions.at(position - 1) == nullptr;
}
