#pragma once

#include <QFrame>

// A sunken horizontal line, the decoration that separates parts of a window.
inline QFrame *MakeEtchedLine(const QString &name, QWidget *parent) {
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
