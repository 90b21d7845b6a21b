#include "controls/DATTextBox.h"

#include <QPlainTextEdit>
#include <QResizeEvent>

#include <cstring>

namespace orvanel {

CDATTextBox::CDATTextBox(QWidget* parent) : QWidget(parent), m_edit(new QPlainTextEdit(this))
{
    m_edit->setReadOnly(true);
    m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_edit->setUndoRedoEnabled(false);
    setFocusProxy(m_edit);
}

void CDATTextBox::SetText(const std::string& text)
{
    const size_t length = ::strnlen(text.data(), text.size());
    m_edit->setPlainText(QString::fromUtf8(text.data(), qsizetype(length)));
}

QString CDATTextBox::GetText() const
{
    return m_edit->toPlainText();
}

void CDATTextBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_edit->setGeometry(0, 0, event->size().width(), event->size().height());
}

} // namespace orvanel
