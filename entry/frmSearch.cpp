#include "entry/frmSearch.h"

#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "app/SharedRoutines.h"
#include "entry/frmNoFind.h"
#include "platform/CommandButton.h"
#include "platform/KeyAscii.h"
#include "platform/RichTextBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

frmSearch::frmSearch(RichTextBox &entry)
    : Label1(new QLabel(QStringLiteral("Search for ..."), this))
    , fraSearch(new QGroupBox(this))
    , cboSearch(new QComboBox(fraSearch))
    , cmdSFind(new CommandButton(QStringLiteral("&Find"), fraSearch))
    , cmdSNext(new CommandButton(QStringLiteral("Nex&t"), fraSearch))
    , cmdSCancel(new CommandButton(QStringLiteral("Can&cel"), this))
    , Image1(new QLabel(this))
    , mEntry(entry) {
    setWindowTitle(QStringLiteral("Search"));
    // Stays above every window while the user goes on working in the entry.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    BuildControls();
}

void frmSearch::BuildControls() {
    setObjectName(QStringLiteral("frmSearch"));
    Label1->setObjectName(QStringLiteral("Label1"));
    fraSearch->setObjectName(QStringLiteral("fraSearch"));
    cboSearch->setObjectName(QStringLiteral("cboSearch"));
    cmdSFind->setObjectName(QStringLiteral("cmdSFind"));
    cmdSNext->setObjectName(QStringLiteral("cmdSNext"));
    cmdSCancel->setObjectName(QStringLiteral("cmdSCancel"));
    Image1->setObjectName(QStringLiteral("Image1"));

    cboSearch->setEditable(true);
    // The history grows only through Find, in the order of entry.
    cboSearch->setInsertPolicy(QComboBox::NoInsert);
    cboSearch->setDuplicatesEnabled(true);
    cboSearch->setMinimumWidth(240);
    cboSearch->setAccessibleName(QStringLiteral("Search for"));
    // The combo box holds the keyboard focus (its line edit is only a focus proxy) and hands
    // keys to the line edit directly, past any filter there: typing is watched here.
    cboSearch->installEventFilter(this);
    Label1->setBuddy(cboSearch);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(32, 32));
    Image1->setAccessibleName(QStringLiteral("Search"));

    auto *frame = new QGridLayout(fraSearch);
    frame->addWidget(cboSearch, 0, 0, 1, 2);
    frame->addWidget(cmdSFind, 1, 0);
    frame->addWidget(cmdSNext, 1, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(Label1);
    right->addWidget(fraSearch);
    right->addWidget(cmdSCancel, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(right);

    connect(cmdSFind, &QPushButton::clicked, this, &frmSearch::cmdSFind_Click);
    connect(cmdSNext, &QPushButton::clicked, this, &frmSearch::cmdSNext_Click);
    connect(cmdSCancel, &QPushButton::clicked, this, &frmSearch::cmdSCancel_Click);
    FixSizeToContents();
}

void frmSearch::Form_Load() {
    cboSearch->clear();
    cmdSFind->setEnabled(true);
    cmdSNext->setEnabled(false);
    Show();
    cboSearch->setFocus();
}

namespace {

// Tab and Shift+Tab move the focus on; every other key that gives a character counts as typing,
// and so does a character composed by the input method (a dead key, for one).
bool TypesACharacter(const QEvent *event) {
    if (event->type() == QEvent::InputMethod)
        return !static_cast<const QInputMethodEvent *>(event)->commitString().isEmpty();
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab && KeyAsciiOf(key) >= 0;
}

} // namespace

bool frmSearch::eventFilter(QObject *watched, QEvent *event) {
    if (watched == cboSearch && TypesACharacter(event))
        cboSearch_KeyPress();
    return Form::eventFilter(watched, event);
}

void frmSearch::cboSearch_KeyPress() {
    cmdSFind->setEnabled(true);
    cmdSNext->setEnabled(false);
}

void frmSearch::cmdSFind_Click() {
    if (Module1::Flags().gSoundOn == 1)
        Module1::PlayCue(QStringLiteral("\\graphics\\s_searchin.wav"));
    setCursor(Qt::WaitCursor);
    cmdSFind->setEnabled(false);
    cmdSNext->setEnabled(true);
    const QString text = cboSearch->currentText();
    cboSearch->addItem(text);
    cboSearch->setEditText(text);
    FindFirst(text);
    if (mFound)
        cmdSNext->setEnabled(true);
    else
        Module1::Forms().Get<frmNoFind>().ShowNextTo(*this);
    unsetCursor();
}

void frmSearch::cmdSNext_Click() {
    setCursor(Qt::WaitCursor);
    FindNext(cboSearch->currentText());
    unsetCursor();
    if (!mFound)
        Module1::Forms().Get<frmNoFind>().ShowNextTo(*this);
}

void frmSearch::cmdSCancel_Click() {
    Hide();
    cboSearch->setEditText(QString());
}

void frmSearch::FindFirst(const QString &text) {
    mEntry.Find(text);
    // The first match is now selected, so this searches that selection and gives its place.
    mMatchPosition = mEntry.Find(text);
    mFound = mMatchPosition != -1;
    if (mFound)
        FocusEntry();
}

void frmSearch::FindNext(const QString &text) {
    const qint64 start = qint64(mEntry.SelStart()) + text.size();
    mMatchPosition = mEntry.Find(text, static_cast<int>(std::min<qint64>(start, INT_MAX)));
    if (mMatchPosition == -1) {
        mFound = false;
        cmdSFind->setEnabled(true);
        cmdSNext->setEnabled(false);
    } else {
        mFound = true;
        FocusEntry();
    }
}

// The main window comes to the front with the entry focused, the match selected in it; the
// search window stays above it.
void frmSearch::FocusEntry() {
    mEntry.window()->activateWindow();
    mEntry.setFocus();
}
