// The archive list: which moves of the selection mark show a file, the cells it formats,
// and Go to ID.

#include "tests/app/GuiFixture.h"

#include "decode/TextureRecord.h"
#include "writer/RecordBuilders.h"

#include <QHeaderView>
#include <QScrollBar>

namespace orvanel::fixture {
namespace {

// A raw file of size bytes whose bytes after the ID are all fill.
FileSpec RawFile(uint32_t id, size_t size, uint8_t fill)
{
    return {id, StoredFile(id, std::vector<uint8_t>(size - 4, fill))};
}

class ListViewTest : public CGuiFixture {
protected:
    void StartOnRawFiles()
    {
        const QString path = WriteArchive("list.dat",
            {RawFile(0x01000003, 4000, 'c'), RawFile(0x01000001, 4000, 'a'), RawFile(0x01000002, 4000, 'b')});
        ASSERT_TRUE(Start({path}));
    }
    QTableView& Table() { return List().GetFileList(); }
    uint8_t ShownFill() { return Hex().GetData()[4]; }
};

TEST_F(ListViewTest, KeysMoveTheMarkAndTheSelectionTogether)
{
    StartOnRawFiles();
    Table().setFocus();
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int selectedRows;
        uint8_t fill;
    } cases[] = {
        {Qt::Key_Down, {}, 1, 'b'},
        {Qt::Key_Down, Qt::ShiftModifier, 2, 'c'},
        {Qt::Key_Space, Qt::ControlModifier, 1, 'b'},
        {Qt::Key_Home, {}, 1, 'a'},
        {Qt::Key_End, {}, 1, 'c'},
        {Qt::Key_Up, Qt::ControlModifier, 1, 'b'},
        {Qt::Key_Home, Qt::ControlModifier, 1, 'a'},
        {Qt::Key_End, Qt::ControlModifier, 1, 'c'},
    };
    for (const auto& c : cases) {
        QTest::keyClick(&Table(), Qt::Key(c.key), c.modifiers);
        const QModelIndexList selected = Table().selectionModel()->selectedRows();
        EXPECT_EQ(selected.size(), c.selectedRows) << c.key;
        EXPECT_TRUE(Table().selectionModel()->isRowSelected(Table().currentIndex().row())) << c.key;
        EXPECT_EQ(ShownFill(), c.fill) << c.key;
        EXPECT_EQ(Table().horizontalScrollBar()->value(), 0) << c.key;
    }
}

TEST_F(ListViewTest, ByteCountsPrintUnsigned)
{
    const DATEntry big {0x20000, 0x0600ABCD, 0x00001400, 2147483648u};
    const DATEntry biggest {0x30000, 0x01000001, 0xFFFFFFFF, 4294967295u};
    const DATEntryList entries {&big, &biggest};
    CEntryTableModel model;
    model.SetEntries(&entries);
    EXPECT_EQ(model.CellText(0, CEntryTableModel::ColumnBytes), "2147483648");
    EXPECT_EQ(model.CellText(1, CEntryTableModel::ColumnBytes), "4294967295");
}

TEST_F(ListViewTest, GoToIDChoosesTheLineHoldingItAndSelectsItsRow)
{
    std::vector<uint8_t> pixels(4 * 4 * 3, 0x80);
    const QString path = WriteArchive("goto.dat",
        {RawFile(0x01000001, 16, 'a'),
            {0x06000002, writer::MakeTextureRecord(0x06000002, 4, 4, kTextureRGB24, pixels)},
            {0x06000001, writer::MakeTextureRecord(0x06000001, 4, 4, kTextureRGB24, pixels)}});
    ASSERT_TRUE(Start({path}));

    EXPECT_TRUE(Frame().GoToID(0x06000002));
    EXPECT_TRUE(List().GetCategorySelector().currentText().startsWith("06 - "));
    EXPECT_EQ(List().GetFileList().currentIndex().row(), 1);
    EXPECT_EQ(FileView().GetCaption(), "4 x 4 x 24 x 100%");
    EXPECT_TRUE(m_prompts.informed.empty());

    EXPECT_FALSE(Frame().GoToID(0x12345678));
    EXPECT_EQ(m_prompts.informed, std::vector<std::string> {"No file has the ID 12345678."});
    EXPECT_EQ(m_prompts.kinds, std::vector<MessageKind> {MessageKind::Warning});
    EXPECT_EQ(List().GetFileList().currentIndex().row(), 1);
}

} // namespace
TEST_F(ListViewTest, ColumnsFitHeadersAndTheLargestSizeBesideTheScrollBar)
{
    ASSERT_TRUE(Start());
    QHeaderView& header = *Table().horizontalHeader();
    for (int c = 0; c < CEntryTableModel::ColumnCount; ++c)
        EXPECT_GE(header.sectionSize(c), header.sectionSizeHint(c)) << "empty window, column " << c;

    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 200; ++i)
        files.push_back(RawFile(0x01000000 + i, i == 7 ? 123456 : 16, 'x'));
    ASSERT_TRUE(m_app->OpenDocumentFile(WriteArchive("many.dat", files)));
    Frame().resize(900, 600);
    Frame().show();
    QApplication::processEvents();
    ASSERT_TRUE(Table().verticalScrollBar()->isVisible());
    EXPECT_FALSE(Table().horizontalScrollBar()->isVisible());
    // What the table itself asks for the rows it shows, the row of the largest size among them.
    for (int c = 0; c < CEntryTableModel::ColumnCount; ++c) {
        EXPECT_GE(header.sectionSize(c), header.sectionSizeHint(c)) << c;
        EXPECT_GE(header.sectionSize(c), static_cast<QAbstractItemView&>(Table()).sizeHintForColumn(c)) << c;
    }
}

} // namespace orvanel::fixture
