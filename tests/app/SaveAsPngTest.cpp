// Save As PNG, Save Category and Save All in the desktop program: what each writes, the format
// remembered between them, the status bar's line and the summary of files not saved; and Show
// Alpha, which draws only pictures with their own alpha differently.

#include "tests/app/GuiFixture.h"

#include "content/FileExport.h"
#include "tests/support/PngReadBack.h"
#include "writer/RecordBuilders.h"

#include <QImage>

namespace orvanel::fixture {
namespace {

class SaveAsPng : public CGuiFixture {
protected:
    void SetUp() override
    {
        CGuiFixture::SetUp();
        const std::vector<uint8_t> rgb(2 * 2 * 3, 0x40), rgba(2 * 2 * 4, 0x80);
        ASSERT_TRUE(Start({WriteArchive("png.dat",
            {
                {0x01000001, StoredFile(0x01000001)},
                {0x01000002, StoredFile(0x01000003)}, // bad ID
                {0x06000001, writer::MakeTextureRecord(0x06000001, 2, 2, 20, rgb)},
                {0x06000002, writer::MakeTextureRecord(0x06000002, 2, 2, 21, rgba)},
            })}));
    }

    std::string Status() { return Frame().statusBar()->currentMessage().toStdString(); }
};

TEST_F(SaveAsPng, PicturesKeepTheirAlphaAndTheFormatIsRemembered)
{
    EXPECT_EQ(Frame().GetSaveAsPNGAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ChooseLine(QStringLiteral("06 - UI"));
    List().GetFileList().selectAll();
    m_out = m_dir.Path() / "png";
    Frame().GetSaveAsPNGAction()->trigger();
    EXPECT_EQ(FileNamesIn(m_out), (std::vector<std::string> {"06000001.png", "06000002.png"}));
    EXPECT_FALSE(ReadPNG((m_out / "06000001.png").string()).HasAlpha());
    const PngReadBack withAlpha = ReadPNG((m_out / "06000002.png").string());
    ASSERT_TRUE(withAlpha.HasAlpha());
    EXPECT_EQ(withAlpha.rgba[3], 0x80);
    EXPECT_EQ(Status(), "Saved 2 files to " + m_out.string());
    EXPECT_TRUE(m_prompts.informed.empty());
    EXPECT_EQ(m_settings->value(QString::fromLatin1(kExportFormatSetting)).toString(), QStringLiteral("png"));

    // Save All writes in the format remembered, into a folder per line.
    m_out = m_dir.Path() / "all";
    Frame().GetSaveAllAction()->trigger();
    EXPECT_EQ(FileNamesIn(m_out),
        (std::vector<std::string> {"01 - Simple Objects", "06 - 00000014 - 24bit", "06 - 00000015 - 32bit"}));
    EXPECT_EQ(FileNamesIn(m_out / "06 - 00000015 - 32bit"), std::vector<std::string> {"06000002.png"});
    EXPECT_EQ(Status(), "Saved 3 files to " + m_out.string() + ", 1 not saved");

    // Save turns the remembered format back to BMP.
    m_out = m_dir.Path() / "bmp";
    Frame().GetSaveAction()->trigger();
    EXPECT_EQ(FileNamesIn(m_out), (std::vector<std::string> {"06000001.bmp", "06000002.bmp"}));
    EXPECT_EQ(m_settings->value(QString::fromLatin1(kExportFormatSetting)).toString(), QStringLiteral("bmp"));
    EXPECT_EQ(
        m_captions, (std::vector<std::string> {kSaveFolderCaption, kSaveAllCaption, kSaveFolderCaption}));
}

TEST_F(SaveAsPng, SaveCategoryWritesTheWholeLineAndNamesTheFilesNotSaved)
{
    ChooseLine(QStringLiteral("01 - "));
    List().GetFileList().clearSelection(); // the line's files, selected or not
    m_out = m_dir.Path() / "category";
    Frame().GetSaveCategoryAction()->trigger();
    EXPECT_EQ(FileNamesIn(m_out), std::vector<std::string> {"01000001.bin"});
    EXPECT_EQ(Status(), "Saved 1 file to " + m_out.string() + ", 1 not saved");
    EXPECT_EQ(m_prompts.informed,
        std::vector<std::string> {std::string(kExportSummaryMessage)
            + "\n\n1 file not saved:\n01000002: bad ID (its first word is 01000003)"});
}

TEST_F(SaveAsPng, ShowAlphaChangesOnlyPicturesWithTheirOwnAlpha)
{
    EXPECT_FALSE(Frame().GetShowAlphaAction()->isChecked());
    for (const auto& [id, ownAlpha] : {std::pair {0x06000001u, false}, std::pair {0x06000002u, true}}) {
        ASSERT_TRUE(Frame().GoToID(id));
        Frame().GetShowAlphaAction()->setChecked(false);
        const QImage opaque = FileView().viewport()->grab().toImage();
        Frame().GetShowAlphaAction()->setChecked(true);
        const QImage blended = FileView().viewport()->grab().toImage();
        EXPECT_EQ(opaque != blended, ownAlpha) << std::hex << id;
    }
}

} // namespace
} // namespace orvanel::fixture
