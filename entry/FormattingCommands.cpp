#include "entry/FormattingCommands.h"

#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/Toolbar.h"

#include <QAction>

namespace {

// Toolbar positions of the four toggles.
constexpr int kCenterButton = 15;
constexpr int kBoldButton = 16;
constexpr int kItalicButton = 17;
constexpr int kUnderlineButton = 18;

// Switched on: the button pressed and the menu item checked; the toggles are the only code that
// changes these looks.
void ShowToggle(frmMain &form, int button, QAction *item, bool on) {
    form.tlbMain->Buttons(button)->SetValue(on ? 1 : 0);
    item->setChecked(on);
}

// A mixed selection (null) counts as off, so the toggle then switches the attribute on.
template <class Read, class Write>
void Toggle(frmMain &form, Read read, Write write, int button, QAction *item) {
    RichTextBox &box = *form.rtbMain;
    const bool on = (box.*read)() == std::optional<bool>(true);
    (box.*write)(!on);
    ShowToggle(form, button, item, !on);
}

} // namespace

void ToggleBold(frmMain &form) {
    Toggle(form, &RichTextBox::SelBold, &RichTextBox::SetSelBold, kBoldButton, form.mnuMFoBold);
}

void ToggleItalic(frmMain &form) {
    Toggle(form, &RichTextBox::SelItalic, &RichTextBox::SetSelItalic, kItalicButton,
           form.mnuMFoItalic);
}

void ToggleUnderline(frmMain &form) {
    Toggle(form, &RichTextBox::SelUnderline, &RichTextBox::SetSelUnderline, kUnderlineButton,
           form.mnuMFoUnderline);
}

void ToggleCenter(frmMain &form) {
    // Right-aligned counts as centred here; paragraphs that differ count as not centred.
    const std::optional<int> alignment = form.rtbMain->SelAlignment();
    const bool on = alignment.value_or(0) != 0;
    form.rtbMain->SetSelAlignment(on ? RichTextBox::AlignLeft : RichTextBox::AlignCenter);
    ShowToggle(form, kCenterButton, form.mnuMFoCenter, !on);
}

void ChooseTextColor(frmMain &form) {
    try {
        form.dlgMain.CancelError = true;
        form.dlgMain.Flags = 1; // open on the colour held from the previous dialog
        form.dlgMain.ShowColor();
        form.rtbMain->SetSelColor(form.dlgMain.Color);
    } catch (const RuntimeError &) {
        // Cancel ends the command silently, with nothing changed.
    }
}

void ChooseFont(frmMain &form) {
    try {
        form.dlgMain.CancelError = true;
        form.dlgMain.Flags = 259; // screen and printer fonts, with the effects controls
        form.dlgMain.ShowFont();
        RichTextBox &box = *form.rtbMain;
        box.SetSelFontName(form.dlgMain.FontName);
        box.SetSelFontSize(static_cast<float>(form.dlgMain.FontSize));
        box.SetSelBold(form.dlgMain.FontBold);
        box.SetSelItalic(form.dlgMain.FontItalic);
        box.SetSelUnderline(form.dlgMain.FontUnderline);
        box.SetSelStrikeThru(form.dlgMain.FontStrikethru);
        box.SetBaseFontName(form.dlgMain.FontName);
        // The colour of the font dialog is not applied, and the toggle looks stay as they are.
    } catch (const RuntimeError &) {
    }
}
