#include "platform/QtUserPrompts.h"

#include <QApplication>
#include <QMessageBox>

namespace orvanel {

void CQtUserPrompts::Inform(const std::string& text)
{
    QMessageBox::information(m_parent, QApplication::applicationName(),
        QString::fromLocal8Bit(text.c_str()));
}

bool CQtUserPrompts::AskYesNo(const std::string& text)
{
    return QMessageBox::question(m_parent, QApplication::applicationName(),
               QString::fromLocal8Bit(text.c_str()), QMessageBox::Yes | QMessageBox::No,
               QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace orvanel
