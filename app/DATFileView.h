#pragma once
// The bottom-right pane: the selected stored file as what it is. Pictures are drawn under a
// caption, sounds go to the sound pane, text records and all other files become text in the
// text box, and a file whose first word is not its ID is shown as a red warning.

#include "app/ImageZoom.h"
#include "archive/DATFormat.h"
#include "decode/DibImage.h"
#include "decode/WaveSound.h"
#include "platform/QtWaveOutDevice.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>

#include <functional>
#include <span>
#include <string>
#include <vector>

class QAction;
class QPrinter;

namespace orvanel {

class CDATSoundPlayer;
class CDATTextBox;
class COrvanelDoc;

class CDATFileView : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum DisplayMode : int32_t {
        ModeNone = 0,
        ModeBadFile = 1,
        ModeRawText = 2,
        ModeImage = 4,
        ModeRecordText = 5,
        ModeSound = 6,
    };

    CDATFileView(COrvanelDoc& doc, QWidget* parent = nullptr);
    ~CDATFileView() override;

    // Shows one stored file; the bytes are only read during the call. No entry empties the view.
    void ShowFile(std::span<const uint8_t> bytes, const DATEntry* entry);

    bool IsGreyscale() const { return m_greyscale; }
    void SetGreyscale(bool greyscale);
    // Show Alpha: a picture with its own alpha is drawn over a checkerboard through it; off,
    // every picture is drawn opaque.
    bool IsShowingAlpha() const { return m_showAlpha; }
    void SetShowAlpha(bool show);

    int32_t GetDisplayMode() const { return m_displayMode; }
    // The caption above the picture, or what is said of a texture whose pixel format is unknown;
    // empty otherwise.
    std::string GetCaption() const;
    const std::string& GetBadFileMessage() const { return m_badFileMessage; }
    CDATTextBox& GetTextBox() { return *m_textBox; }
    CDATSoundPlayer& GetSoundPlayer() { return *m_soundPlayer; }
    CWaveSound& GetSound() { return m_sound; }

    // The picture's zoom: the scale drawn, which the caption shows.
    float GetDrawScale() const { return m_zoom.Scale(); }
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void FitToPane();
    // Zooms to scale keeping the picture's point under pointer (viewport pixels) in place.
    void ZoomAbout(QPoint pointer, float scale);
    void SetPixelGrid(bool shown);
    bool IsPixelGridShown() const { return m_pixelGrid; }
    // The picture as drawn (colour or grey), null when none is shown.
    QImage GetShownImage() const;
    void CopyImage() const;
    // Entries added to the picture's context menu (the frame's zoom commands).
    void SetContextMenuActions(QList<QAction*> actions) { m_contextActions = std::move(actions); }

    // Draws the view as on screen: client is the area drawn on, scroll the content's scroll
    // position, exposed the part that needs drawing, all in the view's pixels. On paper the
    // ground is white and the caption black.
    void OnDraw(QPainter& painter, QSize client, QPoint scroll, const QRect& exposed, bool onPaper = false);
    // Draws what the view shows on white pages of the painter's device, page by page: the
    // picture with its caption (shrunk to fit) or the message on one page, the text over as
    // many as it needs. Only the pages firstPage to lastPage (from 1; lastPage 0 for the last
    // there is) are drawn. newPage is called between pages; it returns false to stop.
    void PrintPages(QPainter& painter, QSizeF page, const std::function<bool()>& newPage, int firstPage = 1,
        int lastPage = 0);
    // PrintPages on the printer, of the pages its range asks for; false when the printer cannot
    // be drawn on.
    bool Print(QPrinter& printer);
    // The print dialog, then Print.
    void OnFilePrint();
    // The preview window, printing from it.
    void OnFilePrintPreview();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The area a fitted picture fills: the viewport below the caption.
    QSize FitArea() const;
    void Refit();
    void DrawPixelGrid(QPainter& painter, const QRect& imageRect, const QRect& visible) const;
    // Blends the visible part of the picture in m_drawBuffer over a checkerboard by its alpha.
    void BlendOverCheckerboard(const QRect& imageRect, const QRect& visible);
    void EnterMode(int32_t mode);
    // ShowFile's part for a file with bytes (entry not null); may run out of memory
    // (std::bad_alloc).
    void ShowContent(std::span<const uint8_t> bytes, const DATEntry* entry);
    // Makes the grey picture of the texture shown, when it was left out.
    void MakeGreyPicture();
    QSize ContentSize(int captionWidth, int captionHeight) const;
    QSize ScaledImageSize() const;
    void UpdateScrollRange();
    void PlaceChildren();

    COrvanelDoc& m_doc;
    int32_t m_displayMode = ModeNone;
    CDATTextBox* m_textBox = nullptr;
    CDATSoundPlayer* m_soundPlayer = nullptr;
    CDibImage m_colour;
    // Made only while Greyscale is on: a texture shown in colour keeps its record instead, and
    // its grey picture is made when Greyscale is switched on.
    CDibImage m_grey;
    std::vector<uint8_t> m_greySource;
    DATEntry m_greySourceEntry {};
    // The texture's own opacities (DecodedPicture's alpha), empty for an opaque picture.
    std::vector<uint8_t> m_alpha;
    bool m_showAlpha = false;
    float m_displayScale = 1.0f;
    uint32_t m_noteKind = 0;
    uint32_t m_noteFileID = 0;
    bool m_greyscale = false;
    // The device outlives the sound, which stops playback through it when destroyed.
    CQtWaveOutDevice m_waveOut;
    CWaveSound m_sound;
    std::string m_badFileMessage;
    // What is said of a picture that did not decode, when there is something to say.
    std::string m_undecodedCaption;
    QImage m_drawBuffer; // reused between paints
    CImageZoom m_zoom;
    bool m_pixelGrid = false;
    int m_wheelDelta = 0; // Ctrl+wheel turns not yet a whole step
    QList<QAction*> m_contextActions;
};

} // namespace orvanel
