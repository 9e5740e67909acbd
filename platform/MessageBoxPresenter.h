#pragma once

#include <QString>

// The platform's standard message box: a blocking notice the user must acknowledge.
class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    virtual void ShowCritical(const QString &title, const QString &text) = 0;
};

class QtMessageBoxPresenter final : public MessageBoxPresenter {
public:
    void ShowCritical(const QString &title, const QString &text) override;
};
