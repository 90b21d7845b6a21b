// Compare With on the sample archive against an older copy of it, one file left out of the
// copy and one changed.

#include "tests/app/GuiFixture.h"

#include "archive/ByteOrder.h"
#include "tools/demo/DemoArchive.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace orvanel::fixture {
namespace {

class CompareTest : public CGuiFixture {
protected:
    void SetUp() override
    {
        CGuiFixture::SetUp();
        m_current = m_dir.File("demo.dat");
        ASSERT_TRUE(demo::WriteDemoArchive(m_current));
        ASSERT_TRUE(Start({QString::fromStdString(m_current)}));
        const CDATArchive& archive = *m_app->GetDocument()->GetArchive();
        m_fileCount = archive.FileRecords().size();
        // The first file of the first line and the last of the last, each of one version.
        const auto& lists = archive.CategoryLists();
        m_added = *lists.begin()->second.front();
        m_changed = *lists.rbegin()->second.back();
        ASSERT_NE(m_added.fileID, m_changed.fileID);
        ASSERT_EQ(archive.FindFile(m_added.fileID)->VersionCount(), 1u);
        ASSERT_GT(m_changed.size, 8u);

        std::string bytes = ReadWholeFile(m_current);
        ASSERT_FALSE(bytes.empty());
        // The older copy: the added file's directory entry is empty, the changed file's ninth
        // byte differs.
        uint8_t key[16];
        WriteLE32(key, m_added.version);
        WriteLE32(key + 4, m_added.fileID);
        WriteLE32(key + 8, m_added.offset);
        WriteLE32(key + 12, m_added.size);
        const size_t at = bytes.find(std::string(reinterpret_cast<const char*>(key), sizeof key));
        ASSERT_NE(at, std::string::npos);
        std::memset(&bytes[at], 0, 4);
        bytes[m_changed.offset + 4 + 8] ^= 0x40;
        m_older = m_dir.File("older.dat");
        ASSERT_TRUE(writer::WriteWholeFile(m_older,
            std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())));
    }

    QString StatusText()
    {
        QStringList texts;
        for (const QLabel* label : Frame().statusBar()->findChildren<QLabel*>())
            texts << label->text();
        return texts.join(QLatin1Char('|'));
    }

    std::string m_current, m_older;
    size_t m_fileCount = 0;
    DATEntry m_added, m_changed;
};

TEST_F(CompareTest, NewAndChangedLinesShowSaveAndEndWithTheNextOpen)
{
    const int lines = List().GetCategorySelector().count();
    ASSERT_TRUE(Frame().CompareWith(m_older, 0));
    QComboBox& selector = List().GetCategorySelector();
    ASSERT_EQ(selector.count(), lines + 2);
    EXPECT_EQ(selector.itemText(0), QStringLiteral("New files (1)"));
    EXPECT_EQ(selector.itemText(1), QStringLiteral("Changed files (1)"));
    const QString summary = QStringLiteral("1 added, 0 removed, 1 changed, %1 unchanged").arg(m_fileCount - 2);
    EXPECT_TRUE(StatusText().contains(summary)) << StatusText().toStdString();

    // The first line is chosen and its file shown.
    EXPECT_EQ(selector.currentIndex(), 0);
    EXPECT_EQ(List().GetModel().EntryAt(0)->fileID, m_added.fileID);
    EXPECT_EQ(Hex().GetData().size(), m_added.size);

    selector.setCurrentIndex(1);
    ASSERT_EQ(List().GetModel().rowCount(), 1);
    EXPECT_EQ(List().GetModel().EntryAt(0)->fileID, m_changed.fileID);
    EXPECT_EQ(Hex().GetData().size(), m_changed.size);
    const auto out = m_dir.Path() / "out";
    std::filesystem::create_directory(out);
    Frame().SetFolderChooser([&](QWidget*, const QString&) { return QString::fromStdString(out.string()); });
    List().GetFileList().selectAll();
    Frame().OnFileSave();
    const auto saved = FileNamesIn(out);
    ASSERT_EQ(saved.size(), 1u);
    char id[9];
    std::snprintf(id, sizeof id, "%08X", m_changed.fileID);
    EXPECT_EQ(saved[0].substr(0, 8), id);

    // Comparing again replaces the lines; opening an archive ends the comparison.
    ASSERT_TRUE(Frame().CompareWith(m_current, 0));
    EXPECT_EQ(selector.count(), lines + 2);
    EXPECT_EQ(selector.itemText(0), QStringLiteral("New files (0)"));
    ASSERT_TRUE(m_app->OpenDocumentFile(QString::fromStdString(m_older)));
    EXPECT_EQ(selector.count(), lines);
    EXPECT_FALSE(selector.itemText(0).startsWith(QStringLiteral("New files")));
    EXPECT_FALSE(StatusText().contains(QStringLiteral(" unchanged")));
    EXPECT_TRUE(StatusText().contains(QStringLiteral("For Help, press F1")));
}

TEST_F(CompareTest, CancelInTheProgressWindowLeavesTheListAsItWas)
{
    const int lines = List().GetCategorySelector().count();
    QTimer::singleShot(0, &Frame(), [this] {
        if (auto* progress = Frame().findChild<QProgressDialog*>())
            progress->cancel();
    });
    EXPECT_FALSE(Frame().CompareWith(m_older, 0));
    EXPECT_EQ(List().GetCategorySelector().count(), lines);
    EXPECT_FALSE(StatusText().contains(QStringLiteral(" unchanged")));
}

} // namespace
} // namespace orvanel::fixture
