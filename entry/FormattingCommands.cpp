#include "entry/FormattingCommands.h"

#include "entry/EntryContext.h"
#include "platform/CommonDialog.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/Toolbar.h"

#include <QAction>

void ToggleLook::Show(bool on) const {
    button.SetValue(on ? 1 : 0);
    item.setChecked(on);
}

namespace {

// A mixed selection (null) counts as off, so the toggle then switches the attribute on.
template <class Read, class Write>
void Toggle(const EntryContext &entry, Read read, Write write, const ToggleLook &look) {
    RichTextBox &box = entry.rtbMain;
    const bool on = (box.*read)() == std::optional<bool>(true);
    (box.*write)(!on);
    look.Show(!on);
}

} // namespace

void ToggleBold(const EntryContext &entry) {
    Toggle(entry, &RichTextBox::SelBold, &RichTextBox::SetSelBold, entry.bold);
}

void ToggleItalic(const EntryContext &entry) {
    Toggle(entry, &RichTextBox::SelItalic, &RichTextBox::SetSelItalic, entry.italic);
}

void ToggleUnderline(const EntryContext &entry) {
    Toggle(entry, &RichTextBox::SelUnderline, &RichTextBox::SetSelUnderline, entry.underline);
}

void ToggleCenter(const EntryContext &entry) {
    // Right-aligned counts as centred here; paragraphs that differ count as not centred.
    const std::optional<int> alignment = entry.rtbMain.SelAlignment();
    const bool on = alignment.value_or(0) != 0;
    entry.rtbMain.SetSelAlignment(on ? RichTextBox::AlignLeft : RichTextBox::AlignCenter);
    entry.center.Show(!on);
}

void ChooseTextColor(const EntryContext &entry) {
    CommonDialog &dialog = entry.dlgMain;
    try {
        dialog.CancelError = true;
        dialog.Flags = 1; // open on the colour held from the previous dialog
        dialog.ShowColor();
        entry.rtbMain.SetSelColor(dialog.Color);
    } catch (const RuntimeError &) {
        // Cancel ends the command silently, with nothing changed.
    }
}

void ChooseFont(const EntryContext &entry) {
    CommonDialog &dialog = entry.dlgMain;
    try {
        dialog.CancelError = true;
        dialog.Flags = 259; // screen and printer fonts, with the effects controls
        dialog.ShowFont();
        RichTextBox &box = entry.rtbMain;
        box.SetSelFontName(dialog.FontName);
        box.SetSelFontSize(static_cast<float>(dialog.FontSize));
        box.SetSelBold(dialog.FontBold);
        box.SetSelItalic(dialog.FontItalic);
        box.SetSelUnderline(dialog.FontUnderline);
        box.SetSelStrikeThru(dialog.FontStrikethru);
        box.SetBaseFontName(dialog.FontName);
        // The colour of the font dialog is not applied, and the toggle looks stay as they are.
    } catch (const RuntimeError &) {
    }
}
