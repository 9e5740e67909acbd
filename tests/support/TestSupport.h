#pragma once

// What the tests share: a fresh run of the program in a temporary application folder, with fakes
// of every platform service and the run's road laid as in the program; real file-system faults;
// and the pointer as the window system reports it.
#include "ScriptedDialogs.h"
#include "TestPictures.h"
#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "app/Run.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class QWidget;

template <class T = QWidget> T &Control(const QObject &window, const QString &name) {
    T *control = window.findChild<T *>(name);
    if (!control)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return *control;
}

// Real file-system faults for one test: below `folder`, made a private mount in a mount
// namespace of the test process, a small disk can be full and a folder can refuse new files.
// Everything mounted goes when the object does. Where the process may not have a mount
// namespace of its own, the test is skipped.
class PrivateMounts {
public:
    static bool Available();
    explicit PrivateMounts(const QString &folder);
    ~PrivateMounts();
    void SmallDisk(const QString &path, const char *size);
    // Fills the disk holding `folder` to its last byte with a file "filler" there.
    static void Fill(const QString &folder);
    // `folder` takes no new files (and loses none); its existing `file`, if given, stays
    // writable.
    void RefuseNewFiles(const QString &folder, const QString &file);

private:
    void Mount(const QString &source, const QString &target, const char *type, unsigned long flags,
               const char *options = nullptr);
    QByteArrayList m_mounted;
};

#define SKIP_WITHOUT_PRIVATE_MOUNTS()                                                              \
    if (!PrivateMounts::Available())                                                               \
    QSKIP("no private mount namespace for this process")

// A fresh start of the program for one test: the application path and the program's folder in
// a temporary folder, en_US as the locale, the clock standing at kNow, cues and message boxes
// recorded, the common dialogs answered from a script.
class TestRun {
public:
    static inline const QDateTime kNow{QDate(2026, 12, 5), QTime(22, 52, 57)};

    TestRun();
    ~TestRun();

    QString AppFolder() const { return m_folder.path(); }
    QString FilePath(const QString &name) const;
    void WriteFile(const QString &name, const QByteArray &bytes) const;
    QByteArray ReadFile(const QString &name) const;
    // Writes both password files in the application path as the change window would.
    void SetPasswords(const QString &first, const QString &second) const;

    // Cue texts played so far, as "\graphics\name.wav"; and the paths played.
    QStringList Cues() const;
    QStringList PlayedPaths() const { return m_played; }
    QStringList Messages() const { return m_messages; }
    ScriptedDialogs &Dialogs() const { return *m_dialogs; }
    bool Ended() const { return m_ended; }
    int ExitCode() const { return m_exitCode; }

    static void MovePointerOver(QWidget *control, QPoint at = QPoint(-1, -1));
    // Runs queued calls and deferred deletions.
    static void ProcessEvents();

private:
    QTemporaryDir m_folder;
    QStringList m_played;
    QStringList m_messages;
    ScriptedDialogs *m_dialogs = nullptr; // owned by the services while the run lasts
    bool m_ended = false;
    int m_exitCode = 0;
};
