// Compare With against an older archive that lacks one file and holds another in an older form.

#include "tests/app/GuiFixture.h"

#include <QLabel>
#include <QProgressDialog>
#include <QTimer>

namespace orvanel::fixture {
namespace {

class CompareTest : public CGuiFixture {
protected:
    void SetUp() override
    {
        CGuiFixture::SetUp();
        m_older = WriteArchive("older.dat", {RawFile(0x0A000003, 40, 'c'), RawFile(0x01000002, 30, 'b')})
                      .toStdString();
        m_current = WriteArchive("current.dat",
            {RawFile(0x01000001, 20, 'a'), RawFile(0x01000002, 30, 'B'), RawFile(0x0A000003, 40, 'c')})
                        .toStdString();
        ASSERT_TRUE(Start({QString::fromStdString(m_current)}));
        const CDATArchive& archive = *m_app->GetDocument()->GetArchive();
        m_added = *archive.FindFile(0x01000001)->GetVersion(0);
        m_changed = *archive.FindFile(0x01000002)->GetVersion(0);
    }

    QString StatusText()
    {
        QStringList texts;
        for (const QLabel* label : Frame().statusBar()->findChildren<QLabel*>())
            texts << label->text();
        return texts.join(QLatin1Char('|'));
    }

    std::string m_current, m_older;
    DATEntry m_added, m_changed;
};

TEST_F(CompareTest, NewAndChangedLinesShowSaveAndEndWithTheNextOpenAndCancelLeavesThem)
{
    // Cancel in the progress window leaves the list as it was.
    const int lines = List().GetCategorySelector().count();
    QTimer::singleShot(0, &Frame(), [this] {
        if (auto* progress = Frame().findChild<QProgressDialog*>())
            progress->cancel();
    });
    EXPECT_FALSE(Frame().CompareWith(m_older, 0));
    EXPECT_EQ(List().GetCategorySelector().count(), lines);
    EXPECT_FALSE(StatusText().contains(QStringLiteral(" unchanged")));

    ASSERT_TRUE(Frame().CompareWith(m_older, 0));
    QComboBox& selector = List().GetCategorySelector();
    ASSERT_EQ(selector.count(), lines + 2);
    EXPECT_EQ(selector.itemText(0), QStringLiteral("New files (1)"));
    EXPECT_EQ(selector.itemText(1), QStringLiteral("Changed files (1)"));
    EXPECT_TRUE(StatusText().contains(QStringLiteral("1 added, 0 removed, 1 changed, 1 unchanged")))
        << StatusText().toStdString();

    // The first line is chosen and its file shown.
    EXPECT_EQ(selector.currentIndex(), 0);
    EXPECT_EQ(List().GetModel().EntryAt(0)->fileID, m_added.fileID);
    EXPECT_EQ(Hex().GetData().size(), m_added.size);

    selector.setCurrentIndex(1);
    ASSERT_EQ(List().GetModel().rowCount(), 1);
    EXPECT_EQ(List().GetModel().EntryAt(0)->fileID, m_changed.fileID);
    EXPECT_EQ(Hex().GetData().size(), m_changed.size);
    m_out = m_dir.Path() / "out";
    Table().selectAll();
    Frame().OnFileSave();
    EXPECT_EQ(FileNamesIn(m_out), std::vector<std::string> {"01000002.bin"});

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

} // namespace
} // namespace orvanel::fixture
