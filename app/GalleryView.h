#pragma once
// The file list as a grid of thumbnails, each with its ID under it, over the list's own model
// and selection: selecting here shows the file and Save saves these rows. Thumbnails are
// made in the background for the rows on screen and the next screen, kept in a cache of
// fixed size, and drawn as they arrive; a row whose thumbnail is not there yet shows a frame.

#include "app/ThumbnailCache.h"

#include <QListView>

namespace orvanel {

class CDATArchive;
class CEntryTableModel;
class CThumbnailLoader;

class CGalleryView : public QListView {
    Q_OBJECT

public:
    CGalleryView(CEntryTableModel& model, QWidget* parent = nullptr);
    ~CGalleryView() override;

    // Cancels the thumbnails being made and forgets the kept ones; none reads the old archive
    // after this returns.
    void SetArchive(const CDATArchive* archive);
    int GetThumbnailSize() const { return m_edge; }
    void SetThumbnailSize(int edge);
    // The thumbnail of row, null while it is not made.
    std::shared_ptr<const ThumbnailPixels> ThumbnailOf(int row);
    // The rows on screen, first and last; (-1, -1) when none.
    std::pair<int, int> VisibleRows() const;
    CThumbnailCache& GetCache() { return m_cache; }
    CThumbnailLoader& GetLoader() { return *m_loader; }

signals:
    void thumbnailSizeChanged(int edge);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Asks for the thumbnails of the rows on screen, then of the next screen.
    void RequestVisible();
    void OnThumbnailReady(ThumbnailKey key, std::shared_ptr<const ThumbnailPixels> pixels);

    CEntryTableModel& m_model;
    CThumbnailCache m_cache;
    CThumbnailLoader* m_loader;
    int m_edge = 96;
    int m_wheelDelta = 0;
    // Files found not to be pictures, so they are not asked for again.
    std::unordered_map<ThumbnailKey, bool, ThumbnailKeyHash> m_failed;
    std::pair<int, int> m_requested {-1, -1};

    friend class CThumbnailDelegate;
};

} // namespace orvanel
