#include "TestSupport.h"

#include "mainwindow/Journey.h"
#include "platform/Services.h"
#include "security/PasswordStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMouseEvent>
#include <QWidget>
#include <sched.h>
#include <sys/mount.h>

namespace {

struct RecordingCuePlayer final : CuePlayer {
    explicit RecordingCuePlayer(QStringList *played)
        : played(played) {}
    void Play(const QString &path) override { played->append(path); }
    QStringList *played;
};

struct RecordingMessageBox final : MessageBoxPresenter {
    explicit RecordingMessageBox(QStringList *shown)
        : shown(shown) {}
    void ShowCritical(const QString &title, const QString &text) override {
        shown->append(title + QLatin1Char('|') + text);
    }
    QStringList *shown;
};

} // namespace

bool PrivateMounts::Available() {
    // Mounts made from here on are seen by this process alone and vanish with it.
    static const bool unshared = unshare(CLONE_NEWNS) == 0;
    return unshared;
}

PrivateMounts::PrivateMounts(const QString &folder) {
    QVERIFY(Available());
    // The folder becomes a private mount of its own first, so nothing mounted below it is
    // passed on to other namespaces, wherever the folder lies.
    Mount(folder, folder, nullptr, MS_BIND);
    Mount(QString(), folder, nullptr, MS_PRIVATE);
}

PrivateMounts::~PrivateMounts() {
    for (auto it = m_mounted.crbegin(); it != m_mounted.crend(); ++it) {
        if (umount2(it->constData(), MNT_DETACH) != 0)
            qWarning("could not unmount %s", it->constData());
    }
}

void PrivateMounts::Mount(const QString &source, const QString &target, const char *type,
                          unsigned long flags, const char *options) {
    const QByteArray from = source.isEmpty() ? QByteArray() : QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    QVERIFY2(mount(source.isEmpty() ? nullptr : from.constData(), to.constData(), type, flags,
                   options) == 0,
             to.constData());
    if (!(flags & (MS_PRIVATE | MS_REMOUNT)))
        m_mounted.append(to);
}

void PrivateMounts::SmallDisk(const QString &path, const char *size) {
    QVERIFY(QDir().mkpath(path));
    Mount(QStringLiteral("tmpfs"), path, "tmpfs", 0, (QByteArray("size=") + size).constData());
}

void PrivateMounts::Fill(const QString &folder) {
    QFile filler(folder + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(512, 'f');
    while (filler.write(block) == block.size()) {
    }
    // The last bytes of a page the filler holds.
    while (filler.write("f", 1) == 1) {
    }
}

void PrivateMounts::RefuseNewFiles(const QString &folder, const QString &file) {
    Mount(folder, folder, nullptr, MS_BIND);
    Mount(QString(), folder, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY);
    if (file.isEmpty())
        return;
    Mount(file, file, nullptr, MS_BIND);
    // A bind of a file in a read-only folder starts read-only too.
    Mount(QString(), file, nullptr, MS_REMOUNT | MS_BIND);
}

TestRun::TestRun() {
    Module1::Reset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Module1::SetAppPath(m_folder.path());
    Module1::SetProgramPath(m_folder.path());
    auto dialogs = std::make_unique<ScriptedDialogs>();
    m_dialogs = dialogs.get();
    Services::Current() = {std::make_unique<RecordingCuePlayer>(&m_played),
                           std::make_unique<RecordingMessageBox>(&m_messages), std::move(dialogs),
                           std::make_unique<SystemDriveService>(), [] { return kNow; }};
    FormRegistry &forms = Module1::Forms();
    LayTheRoad(forms);
    QObject::connect(&forms, &FormRegistry::LastUnloaded, &forms, [this](int code) {
        m_ended = true;
        m_exitCode = code;
    });
}

TestRun::~TestRun() {
    Module1::Reset();
    ProcessEvents();
}

QString TestRun::FilePath(const QString &name) const {
    return m_folder.filePath(name);
}

void TestRun::WriteFile(const QString &name, const QByteArray &bytes) const {
    QFile file(FilePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestRun::ReadFile(const QString &name) const {
    QFile file(FilePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TestRun::SetPasswords(const QString &first, const QString &second) const {
    PasswordStore::WriteStoredPasswords(
        Module1::AppFile(QLatin1String(PasswordStore::kFirstFile)), first,
        Module1::AppFile(QLatin1String(PasswordStore::kSecondFile)), second);
}

QStringList TestRun::Cues() const {
    QStringList texts;
    for (const QString &path : m_played) {
        QString text = path.mid(m_folder.path().size());
        texts.append(text.replace(QLatin1Char('/'), QLatin1Char('\\')));
    }
    return texts;
}

void TestRun::ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void TestRun::MovePointerOver(QWidget *control, QPoint at) {
    const QPoint point = at == QPoint(-1, -1) ? control->rect().center() : at;
    QMouseEvent move(QEvent::MouseMove, point, control->mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &move);
}
