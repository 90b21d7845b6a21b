#include "platform/QtUserPrompts.h"

#include <QApplication>
#include <QMessageBox>

namespace orvanel {

void CQtUserPrompts::Inform(const std::string& text)
{
    QMessageBox::information(m_parent, QApplication::applicationName(), QString::fromLocal8Bit(text.c_str()));
}

void CQtUserPrompts::Report(MessageKind kind, const std::string& text)
{
    const QString message = QString::fromLocal8Bit(text.c_str());
    const QString title = QApplication::applicationName();
    switch (kind) {
    case MessageKind::Information: QMessageBox::information(m_parent, title, message); break;
    case MessageKind::Warning: QMessageBox::warning(m_parent, title, message); break;
    case MessageKind::Error: QMessageBox::critical(m_parent, title, message); break;
    }
}

bool CQtUserPrompts::AskYesNo(const std::string& text)
{
    return QMessageBox::question(m_parent, QApplication::applicationName(),
               QString::fromLocal8Bit(text.c_str()), QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace orvanel
