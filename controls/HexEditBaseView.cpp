#include "controls/HexEditBaseView.h"

#include "controls/HexEditBase.h"

#include <QResizeEvent>

namespace orvanel {

CHexEditBaseView::CHexEditBaseView(QWidget* parent) : QWidget(parent), m_hexEdit(new CHexEditBase(this))
{
    // The control covers the view entirely, so the view never erases or paints.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusProxy(m_hexEdit);
    m_hexEdit->setGeometry(0, 0, width(), height());
}

void CHexEditBaseView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_hexEdit->setGeometry(0, 0, event->size().width(), event->size().height());
}

} // namespace orvanel
