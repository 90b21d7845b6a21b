// The thumbnail gallery: thumbnails arrive for the rows on screen, selecting in the grid
// shows the file and Save saves it, and opening another archive leaves no work running; and
// the cache the thumbnails are kept in.

#include "tests/app/GuiFixture.h"

#include "app/GalleryView.h"
#include "app/ThumbnailCache.h"
#include "app/ThumbnailLoader.h"

#include <QLineEdit>

namespace orvanel::fixture {
namespace {

// count textures of edge x edge pixels (16 unless given), each of its own grey level, and one raw file.
std::vector<FileSpec> Textures(uint32_t count, uint32_t edge = 16)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < count; ++i)
        files.push_back(GreyTexture(0x06000100 + i, edge, uint8_t(i * 8)));
    files.push_back({0x01000001, StoredFile(0x01000001)});
    return files;
}

class GalleryTest : public CGuiFixture {
protected:
    CGalleryView& Gallery() { return List().GetGallery(); }
    void ShowThumbnails()
    {
        Frame().findChild<QAction*>(QStringLiteral("thumbnailsAction"))->setChecked(true);
        ChooseLine(QStringLiteral("06 - "));
    }
    // Runs the event loop until every row on screen has its thumbnail; false after 10 s.
    bool WaitForVisibleThumbnails()
    {
        return QTest::qWaitFor(
            [this] {
                Gallery().viewport()->repaint();
                const auto [first, last] = Gallery().VisibleRows();
                bool all = first >= 0;
                for (int row = first; all && row <= last; ++row)
                    all = Gallery().ThumbnailOf(row) != nullptr;
                return all;
            },
            10000);
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = Gallery().visualRect(List().GetModel().index(row, 0));
        QTest::mouseClick(Gallery().viewport(), Qt::LeftButton, modifiers, cell.center());
    }
};

TEST_F(GalleryTest, ThumbnailsOfVisibleRowsArriveAndSelectionDrivesThePanes)
{
    ASSERT_TRUE(Start({WriteArchive("gallery.dat", Textures(12))}));
    List().resize(400, 500);
    ShowThumbnails();
    ASSERT_TRUE(List().IsGalleryShown());
    ASSERT_TRUE(WaitForVisibleThumbnails());
    // Each thumbnail is its own texture, grown from 16 to the 96-pixel square.
    for (int row : {0, 3, 7}) {
        const auto pixels = Gallery().ThumbnailOf(row);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(pixels->width, 96u);
        EXPECT_EQ(pixels->argb[50 * 96 + 50] & 0xFF, uint32_t(row * 8)) << row;
    }

    ClickRow(3);
    EXPECT_EQ(Hex().GetData()[0], 0x03);
    EXPECT_EQ(FileView().GetCaption(), "16 x 16 x 24 x 100%");
    ClickRow(5, Qt::ControlModifier);
    EXPECT_EQ(Hex().GetData()[0], 0x05);

    m_out = m_dir.Path() / "out";
    Frame().OnFileSave();
    EXPECT_EQ(FileNamesIn(m_out), (std::vector<std::string> {"06000103.bmp", "06000105.bmp"}));

    // Return in the filter field goes to the gallery, which marks its first row when the
    // filter hid the shown file.
    List().GetFilterField().setFocus();
    QTest::keyClicks(&List().GetFilterField(), QStringLiteral("10A"));
    QTest::keyClick(&List().GetFilterField(), Qt::Key_Return);
    EXPECT_TRUE(Gallery().hasFocus());
    EXPECT_EQ(Hex().GetData()[0], 0x0A);
    EXPECT_TRUE(Frame().GetSaveAction()->isEnabled());
    List().ClearFilter();

    // A line of other files shows the table; the thumbnail size is kept in the settings.
    List().GetCategorySelector().setCurrentIndex(0);
    EXPECT_FALSE(List().IsGalleryShown());
    Gallery().SetThumbnailSize(1000);
    EXPECT_EQ(Gallery().GetThumbnailSize(), 256);
    EXPECT_EQ(m_settings->value("Layout/ThumbnailSize").toInt(), 256);
}

TEST_F(GalleryTest, OpeningAnotherArchiveCancelsThePendingThumbnails)
{
    // Large enough that the thumbnails on screen are still being made when the archive changes.
    const QString many = WriteArchive("many.dat", Textures(150, 512));
    const QString other = WriteArchive("other.dat", Textures(2));
    ASSERT_TRUE(Start({many}));
    List().resize(1200, 1200);
    Gallery().SetThumbnailSize(32);
    ShowThumbnails();
    QCoreApplication::processEvents();
    Gallery().viewport()->repaint();
    ASSERT_FALSE(Gallery().GetLoader().IsIdle());

    m_app->OpenDocumentFile(other);
    // Nothing waits or runs against the closed archive, and nothing of it is drawn.
    EXPECT_TRUE(Gallery().GetLoader().IsIdle());
    QCoreApplication::processEvents();
    EXPECT_EQ(Gallery().GetCache().Count(), 0u);
    ShowThumbnails();
    ASSERT_TRUE(WaitForVisibleThumbnails());
    EXPECT_EQ(Gallery().GetCache().Count(), 2u);
}

TEST(ThumbnailCacheTest, LeastRecentlyUsedGoFirstAndTheBudgetHolds)
{
    // Thumbnails of 8 x 8 pixels, all of one colour.
    const auto Pixels = [](uint32_t colour) {
        auto pixels = std::make_shared<ThumbnailPixels>();
        pixels->width = pixels->height = 8;
        pixels->argb.assign(64, colour);
        return pixels;
    };
    const auto Key = [](uint32_t id) { return ThumbnailKey::Of(DATEntry {0x20000, id, 0x400, 100}, 8); };
    const size_t one = Pixels(0)->Bytes();
    // Steps: 'i' inserts, 'f' finds (marks as used); then the IDs expected kept.
    const struct {
        const char* steps;
        std::vector<uint32_t> ids;
        std::vector<uint32_t> kept;
    } cases[] = {
        {"iii", {1, 2, 3}, {1, 2, 3}}, {"iiii", {1, 2, 3, 4}, {2, 3, 4}},
        {"iifii", {1, 2, 1, 3, 4}, {1, 3, 4}}, {"iiiffi", {1, 2, 3, 2, 1, 4}, {1, 2, 4}},
        {"iiii", {1, 2, 1, 3}, {1, 2, 3}}, // inserting a kept key again replaces it
    };
    for (const auto& test : cases) {
        CThumbnailCache cache(3 * one);
        for (size_t i = 0; test.steps[i]; ++i) {
            if (test.steps[i] == 'i')
                cache.Insert(Key(test.ids[i]), Pixels(test.ids[i]));
            else
                EXPECT_NE(cache.Find(Key(test.ids[i])), nullptr);
        }
        EXPECT_LE(cache.BytesUsed(), cache.Budget()) << test.steps;
        EXPECT_EQ(cache.Count(), test.kept.size()) << test.steps;
        for (uint32_t id : test.kept) {
            const auto found = cache.Find(Key(id));
            ASSERT_NE(found, nullptr) << test.steps << ' ' << id;
            EXPECT_EQ(found->argb[0], id);
        }
    }
}

} // namespace
} // namespace orvanel::fixture
