#include "controls/DATTextBox.h"

#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextDocument>

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
    // Through the document: the edit's own setPlainText then selects the whole text to set
    // its character format, laying the text out twice more. The cursor, which the new text
    // leaves at its end, goes back to the start, and the view with it.
    m_edit->document()->setPlainText(QString::fromUtf8(text.data(), qsizetype(length)));
    m_edit->moveCursor(QTextCursor::Start);
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
