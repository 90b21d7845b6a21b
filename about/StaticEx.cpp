#include "about/StaticEx.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QUrl>

namespace orvanel {

CStaticEx::CStaticEx(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_textColour(palette().color(QPalette::WindowText)),
      m_font(QFontDatabase::systemFont(QFontDatabase::GeneralFont))
{
    setTextFormat(Qt::PlainText);
    ApplyLook();
}

void CStaticEx::SetLinkText(const QString& text)
{
    m_linkText = text;
    setText(text);
}

void CStaticEx::SetLink(bool on)
{
    m_link = on;
    if (!on)
        return;
    SetTextColour(QColor(0, 0, 255));
    SetUnderline(true);
    SetLinkCursor(QCursor(Qt::UpArrowCursor));
}

void CStaticEx::SetTextColour(const QColor& colour)
{
    m_textColour = colour;
    ApplyLook();
    repaint();
}

void CStaticEx::SetUnderline(bool on)
{
    m_font.setUnderline(on);
    ApplyLook();
    repaint();
}

void CStaticEx::SetLinkCursor(const QCursor& cursor)
{
    m_cursor = cursor;
    setCursor(cursor);
}

void CStaticEx::ApplyLook()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, m_textColour);
    setPalette(colours);
    setFont(m_font);
}

void CStaticEx::mousePressEvent(QMouseEvent* event)
{
    if (m_link && event->button() == Qt::LeftButton && !m_linkText.isEmpty()) {
        // A link the desktop cannot open is ignored.
        QDesktopServices::openUrl(QUrl::fromUserInput(m_linkText));
    }
    QLabel::mousePressEvent(event);
}

void CStaticEx::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        update();
}

} // namespace orvanel
