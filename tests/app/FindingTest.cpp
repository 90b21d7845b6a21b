// Finding and looking: the list's filter and sort, the picture's zoom and the layout kept
// between runs, driven through the real window.

#include "tests/app/GuiFixture.h"

#include "app/ShortcutsWindow.h"
#include "app/ViewingCommands.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTreeWidget>

#include <set>

namespace orvanel::fixture {
namespace {

// Raw files 0x01000010.. with sizes 64, 54, 44, 34, 24 and 14 bytes, and a category of pictures.
std::vector<FileSpec> Files()
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 6; ++i)
        files.push_back(RawFile(0x01000010 + i, 60 - 10 * i, uint8_t('a' + i)));
    const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    files.push_back({0x04000001, writer::MakeColourTableRecord(0x04000001, colours)});
    for (uint32_t id : {0x06000001u, 0x06000002u})
        files.push_back(GreyTexture(id, 64, 0x80));
    return files;
}

class FindingTest : public CGuiFixture {
protected:
    void StartOnFiles() { ASSERT_TRUE(Start({WriteArchive("find.dat", Files())})); }
    QAction& Command(const char* name) { return *Frame().findChild<QAction*>(QLatin1String(name)); }
    std::vector<uint32_t> ShownIDs()
    {
        std::vector<uint32_t> ids;
        for (int row = 0; row < List().GetModel().rowCount(); ++row)
            ids.push_back(List().GetModel().EntryAt(row)->fileID);
        return ids;
    }
    void Type(const char* text)
    {
        List().GetFilterField().clear();
        QTest::keyClicks(&List().GetFilterField(), QLatin1String(text));
    }
};

TEST_F(FindingTest, TypedFilterNarrowsRowsAndEscapeClearsIt)
{
    StartOnFiles();
    const struct {
        const char* text;
        std::vector<uint32_t> ids;
        const char* status;
    } cases[] = {
        {"1", {0x01000010, 0x01000011, 0x01000012, 0x01000013, 0x01000014, 0x01000015}, "6 of 6 files"},
        {"1 <=30", {0x01000014, 0x01000015}, "2 of 6 files"},
        {"zz", {}, "0 of 6 files"},
    };
    for (const auto& test : cases) {
        Type(test.text);
        EXPECT_EQ(ShownIDs(), test.ids) << test.text;
        EXPECT_EQ(Frame().GetViewingCommands().GetFilterStatus().text(), QLatin1String(test.status))
            << test.text;
    }
    // Keyboard movement runs over the filtered rows and shows their files.
    Type(">50");
    Table().setFocus();
    QTest::keyClick(&Table(), Qt::Key_Down);
    EXPECT_EQ(Hex().GetData()[4], 'b');
    QTest::keyClick(&Table(), Qt::Key_Escape);
    EXPECT_TRUE(List().GetFilterField().text().isEmpty());
    EXPECT_EQ(ShownIDs().size(), 6u);
    EXPECT_FALSE(Frame().GetViewingCommands().GetFilterStatus().isVisibleTo(&Frame()));
    // The file shown stays marked when the filter returns it.
    EXPECT_EQ(Table().currentIndex().row(), 1);

    // When the filter hides the marked file, the row the list then makes current on taking
    // the focus is selected with it, so that the file shown is the one Save writes.
    Type("<=30");
    EXPECT_FALSE(Table().selectionModel()->hasSelection());
    EXPECT_FALSE(Frame().GetSaveAction()->isEnabled());
    Table().selectionModel()->setCurrentIndex(List().GetModel().index(1, 0), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(Hex().GetData()[4], 'f');
    EXPECT_TRUE(Table().selectionModel()->isRowSelected(1));
    EXPECT_TRUE(Frame().GetSaveAction()->isEnabled());
}

TEST_F(FindingTest, GoToIDAndSaveWorkAcrossLinesAndOnTheFilteredRows)
{
    StartOnFiles();
    ASSERT_TRUE(Frame().GoToID(0x06000002));
    EXPECT_TRUE(List().GetCategorySelector().currentText().startsWith("06 - "));
    EXPECT_EQ(Table().currentIndex().row(), 1);
    EXPECT_EQ(FileView().GetCaption(), "64 x 64 x 24 x 100%");
    EXPECT_TRUE(m_prompts.informed.empty());
    EXPECT_FALSE(Frame().GoToID(0x12345678));
    EXPECT_EQ(m_prompts.informed, std::vector<std::string> {"No file has the ID 12345678."});
    EXPECT_EQ(m_prompts.kinds, std::vector<MessageKind> {MessageKind::Warning});
    EXPECT_EQ(Table().currentIndex().row(), 1);

    ChooseLine(QStringLiteral("01 - "));
    m_out = m_dir.Path() / "out";
    Type("<=30");
    Table().selectAll();
    Frame().OnFileSave();
    EXPECT_EQ(FileNamesIn(m_out), (std::vector<std::string> {"01000014.bin", "01000015.bin"}));
    EXPECT_EQ(m_settings->value("Layout/SaveFolder").toString().toStdString(), m_out.string());

    // A file the filter hides is still found: the filter is cleared to show it.
    ASSERT_TRUE(Frame().GoToID(0x01000011));
    EXPECT_TRUE(List().GetFilterField().text().isEmpty());
    EXPECT_EQ(Hex().GetData()[4], 'b');
    Type("1");
    ASSERT_TRUE(Frame().GoToID(0x01000013));
    EXPECT_EQ(List().GetFilterField().text(), QLatin1String("1"));
    EXPECT_EQ(Hex().GetData()[4], 'd');
}

TEST_F(FindingTest, HeaderClicksCycleTheSortAndKeepTheShownFileMarked)
{
    StartOnFiles();
    Frame().GoToID(0x01000012);
    QHeaderView& header = *Table().horizontalHeader();
    const auto click = [&](int column) {
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
            QPoint(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                header.height() / 2));
    };
    const std::vector<uint32_t> catalogue = {
        0x01000010, 0x01000011, 0x01000012, 0x01000013, 0x01000014, 0x01000015};
    const std::vector<uint32_t> reversed(catalogue.rbegin(), catalogue.rend());
    const struct {
        int column;
        std::vector<uint32_t> ids;
    } clicks[] = {
        {CEntryTableModel::ColumnBytes, reversed},
        {CEntryTableModel::ColumnBytes, catalogue},
        {CEntryTableModel::ColumnBytes, catalogue},
        {CEntryTableModel::ColumnID, catalogue},
        {CEntryTableModel::ColumnID, reversed},
    };
    for (const auto& test : clicks) {
        click(test.column);
        EXPECT_EQ(ShownIDs(), test.ids);
        EXPECT_EQ(List().GetModel().EntryAt(Table().currentIndex().row())->fileID, 0x01000012u);
    }
}

TEST_F(FindingTest, ZoomStepsShowInTheCaptionAndHoldWithinACategory)
{
    StartOnFiles();
    const auto caption = [&] { return FileView().GetCaption(); };
    ASSERT_TRUE(Frame().GoToID(0x06000001));
    const struct {
        const char* command;
        const char* figure;
    } steps[] = {
        {"zoomInAction", "64 x 64 x 24 x 200%"},
        {"zoomInAction", "64 x 64 x 24 x 300%"},
        {"zoomOutAction", "64 x 64 x 24 x 200%"},
        {"actualSizeAction", "64 x 64 x 24 x 100%"},
        {"zoomOutAction", "64 x 64 x 24 x 50%"},
    };
    for (const auto& step : steps) {
        Command(step.command).trigger();
        EXPECT_EQ(caption(), step.figure);
    }
    // The next texture keeps the zoom; a colour table opens at its own 800%.
    Frame().GoToID(0x06000002);
    EXPECT_EQ(caption(), "64 x 64 x 24 x 50%");
    Frame().GoToID(0x04000001);
    EXPECT_EQ(caption(), "2 x 2 x 24 x 800%");
    Frame().GoToID(0x06000001);
    EXPECT_EQ(caption(), "64 x 64 x 24 x 100%");

    // Fit to Pane draws the picture as large as the pane holds it: in a tall pane, as wide.
    FileView().resize(300, 500);
    Command("fitToPaneAction").trigger();
    EXPECT_NEAR(FileView().GetDrawScale() * 64, FileView().viewport()->width(), 1.0);
}

TEST_F(FindingTest, LayoutIsKeptBetweenRuns)
{
    StartOnFiles();
    auto* outer = qobject_cast<QSplitter*>(Frame().centralWidget());
    outer->setSizes({180, outer->width() - 180});
    Frame().close();
    const QList<int> kept = outer->sizes();
    m_app.reset();

    StartOnFiles();
    outer = qobject_cast<QSplitter*>(Frame().centralWidget());
    EXPECT_EQ(outer->sizes(), kept);

    // A pane state cut short in the settings is not taken: the panes start at their initial
    // sizes, side by side, instead of all closed.
    const QByteArray whole = outer->saveState();
    Frame().close();
    m_app.reset();
    m_settings->setValue("Layout/Splitter0", whole.left(whole.size() - 10));
    StartOnFiles();
    outer = qobject_cast<QSplitter*>(Frame().centralWidget());
    EXPECT_EQ(outer->orientation(), Qt::Horizontal);
    EXPECT_EQ(outer->sizes().at(0), 300);
    EXPECT_GT(outer->sizes().at(1), 0);
}

} // namespace
TEST_F(FindingTest, ShortcutsWindowListsEveryMenuCommandWithItsKeys)
{
    StartOnFiles();
    Command("shortcutsAction").trigger();
    const CShortcutsWindow* window = Frame().GetViewingCommands().GetShortcutsWindow();
    ASSERT_NE(window, nullptr);
    std::set<QString> listed;
    std::set<QString> keys;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&window->GetTree())); *it; ++it) {
        listed.insert((*it)->text(0));
        keys.insert((*it)->text(1));
    }
    int commands = 0;
    std::function<void(const QMenu&)> check = [&](const QMenu& menu) {
        for (QAction* action : menu.actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            ++commands;
            EXPECT_TRUE(listed.count(action->text().remove(QLatin1Char('&'))))
                << action->text().toStdString();
            // A command with several keys shows them in one cell, its first key leading.
            const QString key = action->shortcut().toString(QKeySequence::NativeText);
            const auto leads = [&](const QString& cell) { return cell.startsWith(key); };
            EXPECT_TRUE(key.isEmpty() || std::any_of(keys.begin(), keys.end(), leads))
                << action->text().toStdString();
        }
    };
    for (QAction* top : Frame().menuBar()->actions())
        check(*top->menu());
    EXPECT_GT(commands, 12);
    EXPECT_TRUE(listed.count(QStringLiteral("Next Pane")));
    EXPECT_EQ(Command("shortcutsAction").shortcut(), QKeySequence(Qt::Key_F1));
}

} // namespace orvanel::fixture
