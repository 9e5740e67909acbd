#include "platform/MessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageBoxPresenter::ShowCritical(const QString &title, const QString &text) {
    QMessageBox::critical(QApplication::activeWindow(), title, text);
}
