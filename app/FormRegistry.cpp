#include "app/FormRegistry.h"

#include "platform/RuntimeError.h"
#include "platform/Services.h"

#include <memory>

FormRegistry::~FormRegistry() {
    const QList<QPointer<Form>> snapshot = m_loaded;
    for (const QPointer<Form> &form : snapshot)
        delete form.data();
}

Form *FormRegistry::Find(const std::type_info &kind) const {
    const auto it = m_byKind.find(std::type_index(kind));
    return it == m_byKind.end() ? nullptr : it->second.data();
}

void FormRegistry::Register(const std::type_info &kind, Form *form) {
    m_byKind[std::type_index(kind)] = form;
    m_loaded.append(form);
}

void FormRegistry::Unload(Form *form) {
    if (!form || !m_loaded.contains(form))
        return;
    m_loaded.removeAll(form);
    for (auto it = m_byKind.begin(); it != m_byKind.end(); ++it) {
        if (it->second == form) {
            m_byKind.erase(it);
            break;
        }
    }
    form->Form_Unload();
    form->hide();
    // Handlers of the window itself may still be on the stack.
    form->deleteLater();
    if (m_loaded.isEmpty())
        QMetaObject::invokeMethod(this, &FormRegistry::EndIfNothingLoaded, Qt::QueuedConnection);
}

void FormRegistry::EndIfNothingLoaded() {
    if (m_loaded.isEmpty())
        emit LastUnloaded(m_exitCode);
}

void FormRegistry::UnloadAll() {
    const QList<QPointer<Form>> snapshot = m_loaded;
    for (const QPointer<Form> &form : snapshot)
        Unload(form.data());
}

void FormRegistry::EndWithError(int exitCode) {
    m_exitCode = exitCode;
    if (m_loaded.isEmpty())
        QMetaObject::invokeMethod(this, &FormRegistry::EndIfNothingLoaded, Qt::QueuedConnection);
    else
        UnloadAll();
}

QList<Form *> FormRegistry::Loaded() const {
    QList<Form *> forms;
    for (const QPointer<Form> &form : m_loaded)
        if (form)
            forms.append(form.data());
    return forms;
}

namespace Module1 {

namespace {

std::unique_ptr<FormRegistry> &Registry() {
    static std::unique_ptr<FormRegistry> registry;
    return registry;
}

} // namespace

FormRegistry &Forms() {
    if (!Registry())
        Registry() = std::make_unique<FormRegistry>();
    return *Registry();
}

void DiscardForms() {
    Registry().reset();
}

void EndWithUnhandledError(const RuntimeError &error, const QString &about) {
    QString text =
        QStringLiteral("Run-time error '%1':\n\n").arg(error.number()) + error.description();
    if (!about.isEmpty())
        text += QStringLiteral(": ") + about;
    Services::Current().messageBox->ShowCritical(QStringLiteral("Quillory"), text);
    Forms().EndWithError(1);
}

} // namespace Module1
