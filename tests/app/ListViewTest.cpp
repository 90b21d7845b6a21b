// The archive list: which moves of the selection mark show a file, the cells it formats and
// the widths of its columns.

#include "tests/app/GuiFixture.h"

#include "app/EntryCellDelegate.h"

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace orvanel::fixture {
namespace {

using ListViewTest = CGuiFixture;

TEST_F(ListViewTest, KeysMoveTheMarkAndTheSelectionTogether)
{
    ASSERT_TRUE(Start({WriteArchive("list.dat",
        {RawFile(0x01000003, 4000, 'c'), RawFile(0x01000001, 4000, 'a'), RawFile(0x01000002, 4000, 'b')})}));
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
        EXPECT_EQ(Hex().GetData()[4], c.fill) << c.key;
        EXPECT_EQ(Table().horizontalScrollBar()->value(), 0) << c.key;
    }
}

TEST_F(ListViewTest, CellsLookAsTheStyleDrawsThem)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 40; ++i)
        files.push_back(RawFile(0x01000001 + i * 0x111, 100 + i * 977, 'a'));
    ASSERT_TRUE(Start({WriteArchive("look.dat", files)}));
    // The focus frame is drawn only in the active window.
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Table().setFocus();
    ASSERT_TRUE(Table().hasFocus());
    QTest::keyClick(&Table(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&Table(), Qt::Key_Down, Qt::ShiftModifier);
    // Rows selected and not, the one with the focus frame, and an elided column, in the
    // program's font, a larger one and one with its text underlined.
    Table().horizontalHeader()->resizeSection(CEntryTableModel::ColumnOffset, 30);
    QFont larger = Table().font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    QFont underlined = Table().font();
    underlined.setUnderline(true);
    for (const QFont& font : {Table().font(), larger, underlined}) {
        Table().setFont(font);
        Table().setItemDelegate(new CEntryCellDelegate(&Table()));
        const QImage own = Table().viewport()->grab().toImage();
        Table().setItemDelegate(new QStyledItemDelegate(&Table()));
        const QImage standard = Table().viewport()->grab().toImage();
        ASSERT_FALSE(own.isNull());
        EXPECT_EQ(own, standard) << font.toString().toStdString();
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
