#pragma once

#include "platform/Form.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <typeindex>
#include <unordered_map>
#include <utility>

class RuntimeError;

// The collection of loaded windows: at most one window of each kind, created at its first
// reference (running its Load once), hidden rather than destroyed, unloaded on request.
// When no window is loaded once the current event is handled, the program ends (LastUnloaded).
class FormRegistry : public QObject {
    Q_OBJECT
public:
    ~FormRegistry() override;

    // The window of kind T, created with `args` if none is loaded; a loaded window keeps what it
    // was created with.
    template <class T, class... Args> T &Get(Args &&...args) {
        if (Form *form = Find(typeid(T)))
            return *static_cast<T *>(form);
        T *form = new T(std::forward<Args>(args)...);
        Register(typeid(T), form);
        form->Form_Load();
        emit FormLoaded(form);
        return *form;
    }
    // The loaded window of kind T, or none.
    template <class T> T *Find() const { return static_cast<T *>(Find(typeid(T))); }
    template <class T> bool IsLoaded() const { return Find<T>() != nullptr; }
    template <class T, class... Args> T &Show(Args &&...args) {
        T &form = Get<T>(std::forward<Args>(args)...);
        form.Show();
        return form;
    }
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

namespace Module1 {

// The windows of the run.
FormRegistry &Forms();
// Destroys the registry and every window at once, without Unload handlers; the next Forms()
// starts afresh.
void DiscardForms();

// An error no routine handles: the platform's standard message, then the program ends.
// `about` (the file it concerns, and what to do) follows the error's description.
void EndWithUnhandledError(const RuntimeError &error, const QString &about = QString());

} // namespace Module1
