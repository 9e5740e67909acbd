#include "platform/QtCommonDialogPresenter.h"

#include "platform/HelpViewer.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

namespace {

// The file dialogs read the shared Flags as file-dialog flags.
constexpr qint32 kReadOnlyBox = 0x1;
constexpr qint32 kOverwritePrompt = 0x2;

QFileDialog *MakeFileDialog(const CommonDialog &dialog, QFileDialog::AcceptMode mode) {
    auto *files = new QFileDialog(QApplication::activeWindow(), dialog.DialogTitle);
    files->setAcceptMode(mode);
    // Any typed name is handed back, so a missing file reaches the program's own error handling.
    files->setFileMode(QFileDialog::AnyFile);
    // The list shows each entry's description alone ("*.rtf", "bmp").
    files->setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFiltersOf(dialog.Filter);
    files->setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        files->selectNameFilter(filters.at(dialog.FilterIndex - 1));
    if (!dialog.FileName.isEmpty())
        files->selectFile(dialog.FileName);
    files->setOption(QFileDialog::DontConfirmOverwrite, !(dialog.Flags & kOverwritePrompt));
    files->setOption(QFileDialog::ReadOnly, false);
    if (mode == QFileDialog::AcceptOpen && (dialog.Flags & kReadOnlyBox))
        files->setLabelText(QFileDialog::Accept, QStringLiteral("Open (read-only)"));
    return files;
}

bool RunFileDialog(CommonDialog &dialog, QFileDialog::AcceptMode mode) {
    std::unique_ptr<QFileDialog> files(MakeFileDialog(dialog, mode));
    if (files->exec() != QDialog::Accepted || files->selectedFiles().isEmpty())
        return false;
    dialog.FileName = files->selectedFiles().constFirst();
    return true;
}

} // namespace

QStringList NameFiltersOf(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(QStringLiteral("%1 (%2)").arg(
            parts[i], QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '))));
    return filters;
}

bool QtCommonDialogPresenter::ShowOpen(CommonDialog &dialog) {
    return RunFileDialog(dialog, QFileDialog::AcceptOpen);
}

bool QtCommonDialogPresenter::ShowSave(CommonDialog &dialog) {
    return RunFileDialog(dialog, QFileDialog::AcceptSave);
}

bool QtCommonDialogPresenter::ShowColor(CommonDialog &dialog) {
    const QColor start(dialog.Color & 0xFF, (dialog.Color >> 8) & 0xFF,
                       (dialog.Color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeWindow());
    if (!chosen.isValid())
        return false;
    dialog.Color =
        quint32(chosen.red()) | (quint32(chosen.green()) << 8) | (quint32(chosen.blue()) << 16);
    return true;
}

bool QtCommonDialogPresenter::ShowFont(CommonDialog &dialog) {
    QFont start(dialog.FontName.isEmpty() ? QApplication::font().family() : dialog.FontName);
    if (dialog.FontSize > 0)
        start.setPointSizeF(dialog.FontSize);
    start.setBold(dialog.FontBold);
    start.setItalic(dialog.FontItalic);
    start.setUnderline(dialog.FontUnderline);
    start.setStrikeOut(dialog.FontStrikethru);
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, start, QApplication::activeWindow());
    if (!accepted)
        return false;
    dialog.FontName = chosen.family();
    dialog.FontSize = chosen.pointSizeF();
    dialog.FontBold = chosen.bold();
    dialog.FontItalic = chosen.italic();
    dialog.FontUnderline = chosen.underline();
    dialog.FontStrikethru = chosen.strikeOut();
    return true;
}

void QtCommonDialogPresenter::ShowHelp(CommonDialog &dialog) {
    HelpViewer::Run(dialog.HelpFile, dialog.HelpCommand);
}
