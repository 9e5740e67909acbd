#include "platform/TextBox.h"

#include "platform/KeyAscii.h"

#include <QKeyEvent>
#include <QProxyStyle>

namespace {

class MaskStyle : public QProxyStyle {
public:
    MaskStyle(QChar mask)
        : m_mask(mask) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_mask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar m_mask;
};

} // namespace

TextBox::TextBox(QWidget *parent)
    : QLineEdit(parent) {}

void TextBox::SetPasswordChar(QChar mask) {
    if (mask.isNull()) {
        setEchoMode(QLineEdit::Normal);
        return;
    }
    auto *style = new MaskStyle(mask);
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
}

void TextBox::keyPressEvent(QKeyEvent *event) {
    const int code = KeyAsciiOf(event);
    if (code >= 0) {
        auto keyAscii = static_cast<qint16>(code);
        emit KeyPress(keyAscii);
        if (keyAscii == 0) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}
