#pragma once

#include "platform/ClickableLabel.h"
#include "platform/Form.h"

#include <QColor>
#include <QLabel>
#include <QList>

class QFrame;

// A label used as a button in a message window: it reports the pointer moving over it and
// clicks on it; its look (bold, colour) is set by the window's handlers. A screen reader finds a
// push button.
class ChoiceLabel : public ClickableLabel {
    Q_OBJECT
public:
    explicit ChoiceLabel(const QString &caption, QWidget *parent = nullptr);

    QAccessible::Role AccessibleRole() const override { return QAccessible::Button; }

    bool Bold() const { return font().bold(); }
    void SetBold(bool bold);
    QColor ForeColor() const;
    void SetForeColor(const QColor &color);

signals:
    void MouseMove();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

// The look shared by the program's message windows: a picture and a title, an etched line, four
// rows of heading and text, and a line of label-buttons at the bottom right.
//
// The pointer moving over the bare background (the margins, the gaps, the etched line) raises
// Form_MouseMove; moving over a label or the picture does not, so a highlight a window sets on
// a label-button stays until the pointer crosses the background.
class MessageWindow : public Form {
    Q_OBJECT
public:
    QFrame *Line1;
    QFrame *Line2;

    // The colours of the message windows' titles, headings and label-buttons.
    static inline const QColor kDarkBlue{0, 0, 192};
    static inline const QColor kRestBlue{0, 0, 255};
    static inline const QColor kHoverRed{255, 0, 0};

    static QColor ForeColorOf(const QLabel *label);
    static void SetForeColor(QLabel *label, const QColor &color);

protected:
    explicit MessageWindow(const QString &caption);

    // Arial 12 point bold.
    QLabel *MakeTitle(const QString &name, const QString &caption, const QColor &color);
    // Arial 9 point bold.
    QLabel *MakeHeading(const QString &name, const QString &caption, const QColor &color);
    // Arial 9 point, in the default text colour.
    QLabel *MakeText(const QString &name, const QString &caption);
    ChoiceLabel *MakeChoice(const QString &name, const QString &caption, const QColor &color);
    QLabel *MakePicture(const QString &name, const QPixmap &picture);

    struct Row {
        QLabel *heading;
        QLabel *text;
    };
    // Lays the controls out and fixes the window's size.
    void Arrange(QLabel *picture, QLabel *title, const QList<Row> &rows,
                 const QList<ChoiceLabel *> &choices);

    virtual void Form_MouseMove() {}
    void mouseMoveEvent(QMouseEvent *event) override;
};
