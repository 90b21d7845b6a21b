#include "app/DATFileView.h"

#include "app/OrvanelDoc.h"
#include "content/Captions.h"
#include "content/FileKind.h"
#include "content/FileText.h"
#include "controls/DATSoundPlayer.h"
#include "controls/DATTextBox.h"
#include "decode/TextureDecoder.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegion>
#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>
#include <new>

namespace orvanel {

namespace {

constexpr int kCaptionMargin = 5;
constexpr int kCaptionGap = 10;

QColor ButtonFace(const QWidget& widget)
{
    return widget.palette().color(QPalette::Active, QPalette::Button);
}

} // namespace

CDATFileView::CDATFileView(COrvanelDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), m_doc(doc)
{
    setFocusPolicy(Qt::StrongFocus);
    // Every paint fills the whole viewport first, so nothing is erased before it.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_textBox = new CDATTextBox(viewport());
    m_textBox->hide();
    m_sound.SetOutput(&m_waveOut, &m_doc.GetPrompts());
    // The player links itself to the view's sound; loading a sound redraws its waveform.
    m_soundPlayer = new CDATSoundPlayer(m_sound, m_doc.GetBusy(), viewport());
    m_soundPlayer->hide();
    UpdateScrollRange();
}

CDATFileView::~CDATFileView()
{
    m_sound.Stop();
}

void CDATFileView::ShowFile(std::span<const uint8_t> bytes, const DATEntry* entry)
{
    if (m_displayMode != ModeNone) {
        m_textBox->hide();
        m_soundPlayer->hide();
        m_displayMode = ModeNone;
        viewport()->update();
    }
    m_greySource.clear();
    if (!entry || !bytes.data()) {
        m_greySource.shrink_to_fit();
        // The views are cleared: a sound still playing would go on with its player hidden.
        m_sound.Stop();
        UpdateScrollRange();
        return;
    }
    try {
        ShowContent(bytes, entry);
    } catch (const std::bad_alloc&) {
        // Too big to show in the memory there is (a huge record): the view stays empty
        // rather than the program ending.
        m_greySource.clear();
        m_greySource.shrink_to_fit();
        m_textBox->SetText({});
        EnterMode(ModeNone);
        UpdateScrollRange();
    }
}

void CDATFileView::ShowContent(std::span<const uint8_t> bytes, const DATEntry* entry)
{
    uint32_t storedWord = 0;
    switch (CheckStoredID(bytes, *entry, storedWord)) {
    case StoredIDCheck::Differs:
        m_badFileMessage = BadFileMessage(entry->fileID, storedWord);
        EnterMode(ModeBadFile);
        return;
    case StoredIDCheck::TooShort:
        // Without a first word there is nothing to check or decode.
        UpdateScrollRange();
        return;
    case StoredIDCheck::Matches: break;
    }

    std::string text;
    switch (ClassifyFileID(entry->fileID)) {
    case FileKind::Raw:
        m_doc.GetRawText(bytes, entry, text);
        EnterMode(ModeRawText);
        m_textBox->SetText(text);
        break;
    case FileKind::ColourTable:
    case FileKind::Texture: {
        DecodedPicture picture;
        if (const CDATArchive* archive = m_doc.GetArchive())
            DecodePicture(*archive, bytes, *entry, {.grey = m_greyscale, .ownAlpha = true}, picture);
        if (!m_greyscale && picture.colour.IsValid()) {
            m_greySource.assign(bytes.begin(), bytes.end());
            m_greySourceEntry = *entry;
        }
        m_colour = std::move(picture.colour);
        m_grey = std::move(picture.grey);
        m_alpha = std::move(picture.alpha);
        m_displayScale = picture.displayScale;
        m_noteKind = picture.noteKind;
        m_noteFileID = picture.noteFileID;
        m_undecodedCaption = m_colour.IsValid() ? std::string() : UndecodedTextureCaption(bytes);
        m_zoom.OnPictureShown(entry->fileID >> 24, m_displayScale);
        Refit();
        EnterMode(ModeImage);
        break;
    }
    case FileKind::TextRecord:
        m_doc.GetRecordText(bytes, entry, text);
        EnterMode(ModeRecordText);
        m_textBox->SetText(ShownText(TextBeforeZero(text)));
        break;
    case FileKind::Sound:
        m_doc.LoadSound(bytes, *entry, m_sound);
        EnterMode(ModeSound);
        break;
    }
}

void CDATFileView::EnterMode(int32_t mode)
{
    if (m_displayMode != mode) {
        m_textBox->hide();
        m_soundPlayer->hide();
        if (mode == ModeRawText || mode == ModeRecordText)
            m_textBox->show();
        else if (mode == ModeSound)
            m_soundPlayer->show();
        m_displayMode = mode;
    }
    UpdateScrollRange();
    PlaceChildren();
    viewport()->update();
}

void CDATFileView::SetGreyscale(bool greyscale)
{
    m_greyscale = greyscale;
    if (m_greyscale)
        MakeGreyPicture();
    viewport()->update();
}

void CDATFileView::MakeGreyPicture()
{
    const CDATArchive* archive = m_doc.GetArchive();
    if (m_greySource.empty() || !archive)
        return;
    // Decoded again: the grey picture of an indexed texture is made from its stored values,
    // not from its colours.
    DecodedPicture picture;
    if (DecodePicture(*archive, m_greySource, m_greySourceEntry, {.grey = true}, picture))
        m_grey = std::move(picture.grey);
    m_greySource.clear();
}

void CDATFileView::SetShowAlpha(bool show)
{
    m_showAlpha = show;
    viewport()->update();
}

void CDATFileView::BlendOverCheckerboard(const QRect& imageRect, const QRect& visible)
{
    constexpr int kSquare = 8;
    const uint32_t width = m_colour.GetWidth(), height = m_colour.GetHeight();
    if (m_alpha.size() != size_t(width) * height || imageRect.isEmpty())
        return;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const uint32_t sy = uint32_t(int64_t(y - imageRect.y()) * height / imageRect.height());
        const uint8_t* opacities = m_alpha.data() + size_t(height - 1 - std::min(sy, height - 1)) * width;
        auto* row = reinterpret_cast<uint32_t*>(m_drawBuffer.scanLine(y - visible.top()));
        for (int x = visible.left(); x <= visible.right(); ++x) {
            const uint32_t sx =
                std::min(uint32_t(int64_t(x - imageRect.x()) * width / imageRect.width()), width - 1);
            const uint32_t a = opacities[sx];
            const bool light = (((x - imageRect.x()) / kSquare + (y - imageRect.y()) / kSquare) & 1) != 0;
            const uint32_t ground = light ? 0xCC : 0x99;
            uint32_t& pixel = row[x - visible.left()];
            uint32_t blended = 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                const uint32_t c = (pixel >> shift) & 0xFF;
                blended |= ((c * a + ground * (255 - a) + 127) / 255) << shift;
            }
            pixel = blended;
        }
    }
}

std::string CDATFileView::GetCaption() const
{
    if (m_displayMode != ModeImage)
        return {};
    if (!m_colour.IsValid())
        return m_undecodedCaption;
    return ImageCaption(m_colour.GetWidth(), m_colour.GetHeight(), m_colour.GetBpp(), m_zoom.Scale(),
        m_noteKind, m_noteFileID);
}

QSize CDATFileView::ScaledImageSize() const
{
    // Truncated toward zero, as the caption's scale promises.
    const double scale = m_zoom.Scale();
    return QSize(int(double(m_colour.GetWidth()) * scale), int(double(m_colour.GetHeight()) * scale));
}

QSize CDATFileView::ContentSize(int captionWidth, int captionHeight) const
{
    if (m_displayMode != ModeImage || !m_colour.IsValid())
        return {0, 0};
    const QSize scaled = ScaledImageSize();
    return QSize(
        std::max(captionWidth + kCaptionGap, scaled.width()), captionHeight + kCaptionGap + scaled.height());
}

void CDATFileView::UpdateScrollRange()
{
    const QString caption = QString::fromLatin1(GetCaption().c_str());
    const QFontMetrics metrics = viewport()->fontMetrics();
    const QSize content = ContentSize(metrics.horizontalAdvance(caption), metrics.height());
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, client.width() / 100));
    verticalScrollBar()->setRange(0, std::max(0, content.height() - client.height()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
    verticalScrollBar()->setSingleStep(std::max(1, client.height() / 100));
}

void CDATFileView::PlaceChildren()
{
    const QRect area(QPoint(0, 0), viewport()->size());
    if (m_displayMode == ModeRawText || m_displayMode == ModeRecordText)
        m_textBox->setGeometry(area);
    else if (m_displayMode == ModeSound)
        m_soundPlayer->setGeometry(area);
}

void CDATFileView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Refit();
    UpdateScrollRange();
    PlaceChildren();
}

void CDATFileView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    OnDraw(painter, viewport()->size(), scroll, event->rect());
}

void CDATFileView::OnDraw(QPainter& painter, QSize client, QPoint scroll, const QRect& exposed, bool onPaper)
{
    painter.save();
    const QString caption = QString::fromLatin1(GetCaption().c_str());
    const QFontMetrics metrics = painter.fontMetrics();
    const int captionHeight = metrics.height();
    const QSize content = ContentSize(metrics.horizontalAdvance(caption), captionHeight);
    const QColor face = onPaper ? QColor(Qt::white) : ButtonFace(*this);
    const bool picture = m_displayMode == ModeImage && m_colour.IsValid();
    const CDibImage& shown = m_greyscale && m_grey.IsValid() ? m_grey : m_colour;
    const QRect imageRect(QPoint(0, captionHeight + kCaptionGap) - scroll, ScaledImageSize());
    const QRect visible = picture ? imageRect.intersected(exposed) : QRect();
    // A picture without an alpha plane covers every pixel it is drawn on, so the face is
    // filled only around it; not when scaled, where edges may fall between device pixels.
    const bool opaque =
        shown.GetAlpha().empty() && painter.deviceTransform().type() <= QTransform::TxTranslate;
    QRegion ground(QRect(-scroll, content.expandedTo(client)));
    if (opaque)
        ground -= visible;
    for (const QRect& part : ground)
        painter.fillRect(part, face);

    if (m_displayMode == ModeBadFile) {
        painter.setPen(QColor(255, 0, 0));
        painter.drawText(QRect(QPoint(0, 0), client)
                             .adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin),
            Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(m_badFileMessage.c_str()));
    }
    if (m_displayMode == ModeImage && !m_colour.IsValid()) {
        painter.setPen(onPaper ? QColor(Qt::black) : palette().color(QPalette::WindowText));
        painter.drawText(QPoint(kCaptionMargin, kCaptionMargin + metrics.ascent()), caption);
    }
    if (picture) {
        painter.setPen(onPaper ? QColor(Qt::black) : palette().color(QPalette::WindowText));
        painter.drawText(
            QPoint(kCaptionMargin, kCaptionMargin) - scroll + QPoint(0, metrics.ascent()), caption);
        if (!visible.isEmpty()) {
            // Only the exposed part of the scaled picture is made, nearest-neighbour.
            if (m_drawBuffer.width() < visible.width() || m_drawBuffer.height() < visible.height())
                m_drawBuffer = QImage(visible.size().expandedTo(m_drawBuffer.size()), QImage::Format_RGB32);
            if (!opaque)
                m_drawBuffer.fill(face);
            DibDrawTarget target;
            target.pixels = reinterpret_cast<uint32_t*>(m_drawBuffer.bits());
            target.stride = size_t(m_drawBuffer.bytesPerLine()) / 4;
            target.clipBox = {visible.left(), visible.top(), visible.right() + 1, visible.bottom() + 1};
            if (!shown.Draw(&target, imageRect.x(), imageRect.y(), imageRect.width(), imageRect.height()))
                m_drawBuffer.fill(face);
            if (m_showAlpha && !onPaper && !m_alpha.empty())
                BlendOverCheckerboard(imageRect, visible);
            painter.drawImage(visible.topLeft(), m_drawBuffer, QRect(QPoint(0, 0), visible.size()));
            DrawPixelGrid(painter, imageRect, visible);
        }
    }
    painter.restore();
}

void CDATFileView::PrintPages(
    QPainter& painter, QSizeF page, const std::function<bool()>& newPage, int firstPage, int lastPage)
{
    firstPage = std::max(firstPage, 1);
    painter.save();
    // One pixel of the view becomes one pixel of a 96 dpi screen on paper.
    const double scale = double(painter.device()->logicalDpiY()) / 96.0;
    painter.scale(scale, scale);
    const QSizeF area = page / scale;
    // The screen font's pixel size, so that the caption keeps its size beside the picture.
    QFont printFont = font();
    printFont.setPixelSize(std::max(1, QFontInfo(font()).pixelSize()));
    painter.setFont(printFont);

    if (m_displayMode == ModeRawText || m_displayMode == ModeRecordText) {
        QTextDocument text;
        text.setDefaultFont(printFont);
        text.setDocumentMargin(0);
        text.setPlainText(m_textBox->GetText());
        text.setPageSize(area);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        const int pages = std::max(1, text.pageCount());
        const int last = lastPage > 0 ? std::min(lastPage, pages) : pages;
        for (int i = firstPage - 1; i < last; ++i) {
            if (i > firstPage - 1 && !newPage())
                break;
            painter.fillRect(QRectF(QPointF(0, 0), area), Qt::white);
            painter.save();
            painter.translate(0, -area.height() * i);
            context.clip = QRectF(0, area.height() * i, area.width(), area.height());
            painter.setClipRect(context.clip);
            text.documentLayout()->draw(&painter, context);
            painter.restore();
        }
    } else if (firstPage == 1) {
        painter.fillRect(QRectF(QPointF(0, 0), area), Qt::white);
        // A picture larger than the page is shrunk to fit it.
        const QFontMetrics metrics(printFont);
        const QSize content = ContentSize(
            metrics.horizontalAdvance(QString::fromLatin1(GetCaption().c_str())), metrics.height());
        const double fit = std::min({1.0, area.width() / std::max(1, content.width()),
            area.height() / std::max(1, content.height())});
        painter.scale(fit, fit);
        const QSize client = (area / fit).toSize();
        OnDraw(painter, client, QPoint(0, 0), QRect(QPoint(0, 0), client), true);
    }
    painter.restore();
}

bool CDATFileView::Print(QPrinter& printer)
{
    QPainter painter(&printer);
    if (!painter.isActive())
        return false;
    const QSizeF page = printer.pageRect(QPrinter::DevicePixel).size();
    // A range the user chose in the print dialog; 0 and 0 for every page.
    PrintPages(
        painter, page, [&printer] { return printer.newPage(); }, printer.fromPage(), printer.toPage());
    return painter.end();
}

void CDATFileView::OnFilePrint()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        Print(printer);
}

void CDATFileView::OnFilePrintPreview()
{
    QPrinter printer;
    QPrintPreviewDialog preview(&printer, this);
    connect(
        &preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { Print(*target); });
    preview.exec();
}

} // namespace orvanel
