// The file view: each kind of stored file reaches its display mode and caption, the
// greyscale toggle, and printing.

#include "tests/gui/GuiFixture.h"

#include "controls/DATSoundPlayer.h"
#include "controls/DATTextBox.h"
#include "decode/TextureRecord.h"
#include "writer/RecordBuilders.h"

#include <QAction>
#include <QFileInfo>
#include <QPrinter>

namespace orvanel::fixture {
namespace {

using writer::FileSpec;
using writer::StoredFile;

std::vector<uint8_t> Pixels(uint32_t width, uint32_t height, uint8_t b, uint8_t g, uint8_t r)
{
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {b, g, r});
    return pixels;
}

std::vector<FileSpec> EveryKind()
{
    const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    const uint8_t indices[16] = {};
    const uint8_t text[] = {5, 'h', 'e', 'l', 'l', 'o'};
    const uint8_t zeros[6] = {};
    const std::vector<uint8_t> samples(2000, 0x10);
    auto badWord = StoredFile(0x01000002, zeros);
    badWord[0] = 0x03;
    auto exempt = StoredFile(0x08000001, zeros);
    exempt[0] = 0x07;
    return {
        {0x06000001, writer::MakeTextureRecord(0x06000001, 64, 64, kTextureRGB24, Pixels(64, 64, 0, 0, 255))},
        {0x04000001, writer::MakeColourTableRecord(0x04000001, colours)},
        {0x06000002, writer::MakeIndexedTextureRecord(0x06000002, 4, 4, kTextureIndexed8, indices, 0x04000099)},
        {0x31000001, StoredFile(0x31000001, text)},
        {0x01000001, StoredFile(0x01000001, zeros)},
        {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(1, 22050, 16), samples)},
        {0x01000002, badWord},
        {0x08000001, exempt},
    };
}

class FileViewTest : public CGuiFixture {
protected:
    void StartOnEveryKind() { ASSERT_TRUE(Start({WriteArchive("kinds.dat", EveryKind())})); }
    QString ShownText() { return FileView().GetTextBox().GetText(); }
};

TEST_F(FileViewTest, EachKindReachesItsModeAndCaption)
{
    StartOnEveryKind();
    const struct {
        uint32_t id;
        int32_t mode;
        const char* caption;
    } cases[] = {
        {0x06000001, CDATFileView::ModeImage, "64 x 64 x 24 x 100%"},
        {0x04000001, CDATFileView::ModeImage, "2 x 2 x 24 x 800%"},
        {0x06000002, CDATFileView::ModeImage, "4 x 4 x 24 x 100% (04000099, Not Found)"},
        {0x31000001, CDATFileView::ModeRecordText, ""},
        {0x01000001, CDATFileView::ModeRawText, ""},
        {0x0A000001, CDATFileView::ModeSound, ""},
        {0x01000002, CDATFileView::ModeBadFile, ""},
        {0x08000001, CDATFileView::ModeRawText, ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Frame().GoToID(c.id)) << std::hex << c.id;
        EXPECT_EQ(FileView().GetDisplayMode(), c.mode) << std::hex << c.id;
        EXPECT_EQ(FileView().GetCaption(), c.caption) << std::hex << c.id;
        EXPECT_EQ(FileView().GetTextBox().isVisible(),
            c.mode == CDATFileView::ModeRawText || c.mode == CDATFileView::ModeRecordText);
        EXPECT_EQ(FileView().GetSoundPlayer().isVisible(), c.mode == CDATFileView::ModeSound);
    }
}

TEST_F(FileViewTest, TextsAndMessagesOfEachKind)
{
    StartOnEveryKind();
    Frame().GoToID(0x31000001);
    EXPECT_EQ(ShownText(), "hello");
    Frame().GoToID(0x01000001);
    EXPECT_TRUE(ShownText().endsWith("      ")) << ShownText().toStdString();
    EXPECT_EQ(ShownText().size(), 10);
    Frame().GoToID(0x0A000001);
    EXPECT_EQ(FileView().GetSound().GetFormat().samplesPerSec, 22050u);
    EXPECT_EQ(FileView().GetSound().GetSampleCount(), 2000u);
    Frame().GoToID(0x01000002);
    EXPECT_EQ(FileView().GetBadFileMessage(),
        "Bad/Corrupted File!!!\n\nID should be 01000002\n\nID is set to 01000003");
}

TEST_F(FileViewTest, GreyscaleToggleRedrawsTheGreyPictureAndSurvivesOtherFiles)
{
    StartOnEveryKind();
    Frame().GoToID(0x06000001);
    const int imageTop = FileView().fontMetrics().height() + 10;
    const QPoint inside(10, imageTop + 10);
    QImage shot = FileView().viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(inside)), QColor(255, 0, 0));

    Frame().GetGreyscaleAction()->trigger();
    EXPECT_TRUE(Frame().GetGreyscaleAction()->isChecked());
    Frame().GoToID(0x31000001);
    Frame().GoToID(0x06000001);
    shot = FileView().viewport()->grab().toImage();
    const QColor grey(shot.pixel(inside));
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    EXPECT_NE(grey, QColor(255, 0, 0));
}

TEST_F(FileViewTest, PrintingAPictureGivesAPageWithIt)
{
    StartOnEveryKind();
    const auto printTo = [this](const std::string& name) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_dir.File(name)));
        EXPECT_TRUE(FileView().Print(printer));
        return QFileInfo(QString::fromStdString(m_dir.File(name))).size();
    };
    Frame().GoToID(0x01000002);
    EXPECT_GT(printTo("message.pdf"), 0);
    Frame().GoToID(0x06000001);
    EXPECT_GT(printTo("picture.pdf"), 0);
    // The picture travels as an image object of the page; the message has none.
    const std::string picture = ReadWholeFile(m_dir.File("picture.pdf"));
    EXPECT_TRUE(picture.starts_with("%PDF"));
    EXPECT_NE(picture.find("/Subtype /Image"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(m_dir.File("message.pdf")).find("/Subtype /Image"), std::string::npos);
}

} // namespace
} // namespace orvanel::fixture
