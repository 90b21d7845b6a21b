#include "platform/QtBusyIndicator.h"

#include <QApplication>
#include <QCursor>

namespace orvanel {

void CQtBusyIndicator::BeginBusy()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtBusyIndicator::EndBusy()
{
    QApplication::restoreOverrideCursor();
}

} // namespace orvanel
