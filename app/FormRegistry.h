#pragma once

#include "app/Form.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <typeindex>
#include <unordered_map>

// The collection of loaded windows: at most one window of each kind, created at its first
// reference (running its Load once), hidden rather than destroyed, unloaded on request.
// When no window is loaded once the current event is handled, the program ends (LastUnloaded).
class FormRegistry : public QObject {
    Q_OBJECT
public:
    ~FormRegistry() override;

    template <class T> T &Get() {
        if (Form *form = Find(typeid(T)))
            return *static_cast<T *>(form);
        T *form = new T();
        Register(typeid(T), form);
        form->Form_Load();
        emit FormLoaded(form);
        return *form;
    }
    template <class T> bool IsLoaded() const { return Find(typeid(T)) != nullptr; }
    template <class T> void Show() { Get<T>().Show(); }
    template <class T> void Hide() { Get<T>().Hide(); }
    template <class T> void Unload() {
        if (Form *form = Find(typeid(T)))
            Unload(form);
    }

    void Unload(Form *form);
    // Unloads, one after the other, every window loaded at this moment.
    void UnloadAll();
    // Ends the program after an error no routine handles.
    void EndWithError(int exitCode);

    QList<Form *> Loaded() const;
    int ExitCode() const { return m_exitCode; }

    // Destroys every window at once, without running Unload handlers; for tests.
    void DestroyAllNow();

signals:
    // A window was created and its Load has run.
    void FormLoaded(Form *form);
    void LastUnloaded(int exitCode);

private:
    // The program ends only once the handler that unloaded the last window has finished, so a
    // window may unload itself and then show the next one.
    void EndIfNothingLoaded();
    Form *Find(const std::type_info &kind) const;
    void Register(const std::type_info &kind, Form *form);

    std::unordered_map<std::type_index, QPointer<Form>> m_byKind;
    QList<QPointer<Form>> m_loaded; // in order of loading
    int m_exitCode = 0;
};
