#pragma once

#include "ScriptedDialogs.h"
#include "TestPictures.h"
#include "platform/CuePlayer.h"
#include "platform/MessageBoxPresenter.h"

#include <QByteArrayList>
#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QWidget;

// Remembers every cue asked for, by its path below the application folder.
class RecordingCuePlayer final : public CuePlayer {
public:
    explicit RecordingCuePlayer(QStringList *played)
        : m_played(played) {}
    void Play(const QString &path) override;

private:
    QStringList *m_played;
};

// Real file-system faults for one test: below `folder`, made a private mount in a mount
// namespace of the test process, a small disk can be full and a folder can refuse new files.
// Everything mounted goes when the object does.
class PrivateMounts {
public:
    explicit PrivateMounts(const QString &folder);
    ~PrivateMounts();
    // Mounts a disk of `size` ("64k") at `path`.
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

class RecordingMessageBox final : public MessageBoxPresenter {
public:
    explicit RecordingMessageBox(QStringList *shown)
        : m_shown(shown) {}
    void ShowCritical(const QString &title, const QString &text) override;

private:
    QStringList *m_shown;
};

// A fresh start of the program for one test: Module1 reset, the application path and the
// program's folder in one temporary folder, recording fakes installed, en_US as the locale.
class TestRun {
public:
    TestRun();
    ~TestRun();

    QString AppFolder() const { return m_folder.path(); }
    QString FilePath(const QString &name) const;
    void WriteFile(const QString &name, const QByteArray &bytes) const;
    QByteArray ReadFile(const QString &name) const;
    // Writes both password files in the application path as the change window would.
    void SetPasswords(const QString &first, const QString &second) const;

    // Cue texts played so far, as "\graphics\name.wav".
    QStringList Cues() const;
    QStringList Messages() const { return m_messages; }
    // The common dialogs answer from this script; nothing real is ever shown.
    ScriptedDialogs &Dialogs() const { return *m_dialogs; }
    // Whether the registry reported that the program ends, and with which code.
    bool Ended() const { return m_ended; }
    int ExitCode() const { return m_exitCode; }

    // The pointer moving over a control (at its centre unless `at` is given), as the window
    // system reports it.
    static void MovePointerOver(QWidget *control, QPoint at = QPoint(-1, -1));

    // Runs queued calls and deferred deletions.
    static void ProcessEvents();

private:
    QTemporaryDir m_folder;
    QStringList m_played;
    QStringList m_messages;
    ScriptedDialogs *m_dialogs = nullptr; // owned by CommonDialog while the run lasts
    bool m_ended = false;
    int m_exitCode = 0;
};
