// Selection, copy and paste, typing over bytes, and the hex editor's context menu.

#include "archive/ByteOrder.h"
#include "controls/HexDump.h"
#include "controls/HexEditBase.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace orvanel {

bool CHexEditBase::SetSelection(uint32_t start, uint32_t end, bool scroll, bool repaint)
{
    if (end < start || start >= m_data.size() || end >= m_data.size())
        return false;
    if (start == m_selStart && end == m_selEnd)
        return true;
    m_selStart = start;
    m_selEnd = end;
    if (scroll)
        EnsureVisible(start, end, false);
    Repaint(repaint);
    return true;
}

void CHexEditBase::SelectAll()
{
    if (!m_data.empty())
        SetSelection(0, static_cast<uint32_t>(m_data.size() - 1), false, true);
}

std::string CHexEditBase::BuildSelectionText(bool crlf, bool withAddress, bool withCharacters) const
{
    if (!HasSelection())
        return {};
    HexDumpOptions options;
    options.bytesPerRow = BytesPerRow();
    options.addressDigits = m_addressDigits;
    options.crlf = crlf;
    options.withAddress = m_showAddress && withAddress;
    options.withCharacters = m_showAscii && withCharacters;
    return FormatHexDump(m_data, m_selStart, m_selEnd, options);
}

bool CHexEditBase::CopyToClipboard(bool crlf, bool withAddress, bool withCharacters)
{
    // A selection may reach past the last byte (a drag below the last row); only the
    // bytes that exist are copied, and a selection wholly past them copies nothing.
    if (!HasSelection() || m_selStart >= m_data.size())
        return false;
    const std::string text = BuildSelectionText(crlf, withAddress, withCharacters);
    if (text.empty())
        return false;
    const uint64_t last = std::min<uint64_t>(m_selEnd, m_data.size() - 1);
    const uint32_t count = static_cast<uint32_t>(last - m_selStart + 1);
    try {
        QByteArray block(qsizetype(count) + 4, Qt::Uninitialized);
        WriteLE32(reinterpret_cast<uint8_t*>(block.data()), count);
        std::memcpy(block.data() + 4, m_data.data() + m_selStart, count);
        auto mime = std::make_unique<QMimeData>();
        mime->setData(QString::fromLatin1(kBinaryDataMime), block);
        mime->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
        QGuiApplication::clipboard()->setMimeData(mime.release());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CHexEditBase::ClipboardHasBinaryData() const
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && mime->hasFormat(QString::fromLatin1(kBinaryDataMime));
}

bool CHexEditBase::PasteFromClipboard()
{
    if (m_readOnly || m_data.empty() || !ClipboardHasBinaryData())
        return false;
    const QByteArray block =
        QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(kBinaryDataMime));
    if (block.size() < 4)
        return false;
    const uint64_t position = HasSelection() ? m_selStart : m_caretPosition;
    if (position >= m_data.size())
        return false;

    // The count comes from another program: never read past the bytes really there, and
    // never write past the data, whose length stays as it is.
    const auto* raw = reinterpret_cast<const uint8_t*>(block.constData());
    const uint32_t count = ReadLE32(raw);
    const uint64_t n =
        std::min({uint64_t(count), uint64_t(block.size()) - 4, uint64_t(m_data.size()) - position});
    if (n == 0)
        return false;
    std::memcpy(m_data.data() + position, raw + 4, n);

    const uint32_t last = static_cast<uint32_t>(position + n - 1);
    SetSelection(static_cast<uint32_t>(position), last, true, false);
    PlaceCaret(last, false);
    Repaint(true);
    emit changed();
    return true;
}

bool CHexEditBase::TypeHexDigit(const QString& text)
{
    if (text.size() != 1)
        return false;
    const char16_t character = text.front().toLower().unicode();
    if (character > 255 || m_data.empty() || m_readOnly || m_caretPosition >= m_data.size())
        return false;
    uint8_t value = 0;
    if (character >= u'0' && character <= u'9')
        value = static_cast<uint8_t>(character - u'0');
    else if (character >= u'a' && character <= u'f')
        value = static_cast<uint8_t>(character - u'a' + 10);
    else
        return false;

    uint8_t& byte = m_data[m_caretPosition];
    if (m_caretHighNibble) {
        byte = static_cast<uint8_t>((byte & 0x0F) | (value << 4));
        MoveCaret(0, false);
    } else {
        byte = static_cast<uint8_t>((byte & 0xF0) | value);
        // At the last byte this keeps the caret on its low digit.
        MoveCaret(1, true);
    }
    Repaint(true);
    emit changed();
    return true;
}

void CHexEditBase::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (ForwardContextMenu) {
        if (NotifyMouse)
            emit contextMenuRequested(event->globalPos());
        return;
    }
    QPoint globalPoint = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        globalPoint = viewport()->mapToGlobal(QPoint(5, 5));
    } else if (!m_data.empty()) {
        // A right click outside the selection moves the caret there and drops the
        // selection; inside it, the selection stays for Copy.
        EnsureLayout();
        const HexHit hit = HitTest(event->pos());
        if (!HasSelection() || hit.position < m_selStart || hit.position > m_selEnd) {
            m_selStart = m_selEnd = kNoPosition;
            PlaceCaret(hit.position, true);
            viewport()->update();
        }
    }
    ShowContextMenu(globalPoint);
}

void CHexEditBase::ShowContextMenu(QPoint globalPoint)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(m_copyText);
    copy->setEnabled(HasSelection());
    connect(copy, &QAction::triggered, this, [this] { CopyToClipboard(true, true, true); });
    QAction* paste = menu.addAction(m_pasteText);
    paste->setEnabled(!m_readOnly && ClipboardHasBinaryData());
    connect(paste, &QAction::triggered, this, [this] { PasteFromClipboard(); });
    OnContextMenuExtend(&menu);
    menu.exec(globalPoint);
}

void CHexEditBase::OnContextMenuExtend(QMenu* /*menu*/)
{
}

} // namespace orvanel
