#pragma once
// Messages and questions of the core shown as message boxes over the main window, with the
// application's name as their title.

#include "archive/Platform.h"

#include <QPointer>
#include <QWidget>

namespace orvanel {

class CQtUserPrompts final : public IUserPrompts {
public:
    // Boxes are shown over parent while it exists, else without an owner.
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Inform(const std::string& text) override;
    // Warnings and errors get the warning and the critical icon.
    void Report(MessageKind kind, const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace orvanel
