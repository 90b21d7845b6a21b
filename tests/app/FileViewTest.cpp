// The file view: each kind of stored file reaches its display mode and caption, the Show
// Alpha and greyscale toggles, and printing.

#include "tests/app/GuiFixture.h"

#include "controls/DATSoundPlayer.h"
#include "controls/DATTextBox.h"
#include "decode/TextureRecord.h"
#include "tests/support/ChildProcess.h"
#include "writer/RecordBuilders.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollBar>

#include <sys/resource.h>

namespace orvanel::fixture {
namespace {

std::vector<FileSpec> EveryKind()
{
    const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    const uint8_t indices[16] = {};
    const uint8_t text[] = {6, 'h', 'e', 'l', 'l', 'o', 0x92};
    const uint8_t zeros[6] = {};
    const std::vector<uint8_t> samples(2000, 0x10);
    std::vector<uint8_t> red; // blue, green, red
    for (int i = 0; i < 64 * 64; ++i)
        red.insert(red.end(), {0, 0, 255});
    auto badWord = StoredFile(0x01000002, zeros);
    badWord[0] = 0x03;
    auto exempt = StoredFile(0x08000001, zeros);
    exempt[0] = 0x07;
    return {
        {0x06000001, writer::MakeTextureRecord(0x06000001, 64, 64, kTextureRGB24, red)},
        {0x04000001, writer::MakeColourTableRecord(0x04000001, colours)},
        {0x06000002,
            writer::MakeIndexedTextureRecord(0x06000002, 4, 4, kTextureIndexed8, indices, 0x04000099)},
        {0x06000003, writer::MakeTextureRecord(0x06000003, 2, 2, 0x777, std::vector<uint8_t>(12, 0))},
        {0x06000004, writer::MakeTextureRecord(0x06000004, 2, 2, 21, std::vector<uint8_t>(16, 0x80))},
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
};

TEST_F(FileViewTest, EachKindReachesItsModeCaptionAndText)
{
    StartOnEveryKind();
    const struct {
        uint32_t id;
        int32_t mode;
        const char* caption;
        QString text {}; // the text box's, or the bad file's message
    } cases[] = {
        {0x06000001, CDATFileView::ModeImage, "64 x 64 x 24 x 100%"},
        {0x04000001, CDATFileView::ModeImage, "2 x 2 x 24 x 800%"},
        {0x06000002, CDATFileView::ModeImage, "4 x 4 x 24 x 100% (04000099, Not Found)"},
        {0x06000003, CDATFileView::ModeImage, "unknown pixel format 0x777"},
        {0x31000001, CDATFileView::ModeRecordText, "", QString::fromUtf8("hello\u2019")},
        {0x01000001, CDATFileView::ModeRawText, "", QStringLiteral("\u00B7  \u00B7") + QString(6, u' ')},
        {0x0A000001, CDATFileView::ModeSound, ""},
        {0x01000002, CDATFileView::ModeBadFile, "",
            "Bad/Corrupted File!!!\n\nID should be 01000002\n\nID is set to 01000003"},
        {0x08000001, CDATFileView::ModeRawText, ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Frame().GoToID(c.id)) << std::hex << c.id;
        EXPECT_EQ(FileView().GetDisplayMode(), c.mode) << std::hex << c.id;
        EXPECT_EQ(FileView().GetCaption(), c.caption) << std::hex << c.id;
        EXPECT_EQ(FileView().GetTextBox().isVisible(),
            c.mode == CDATFileView::ModeRawText || c.mode == CDATFileView::ModeRecordText);
        EXPECT_EQ(FileView().GetSoundPlayer().isVisible(), c.mode == CDATFileView::ModeSound);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(c.mode == CDATFileView::ModeBadFile
                    ? QString::fromStdString(FileView().GetBadFileMessage())
                    : FileView().GetTextBox().GetText(),
                c.text)
                << std::hex << c.id;
        }
    }
}

TEST_F(FileViewTest, ANewTextStartsAtItsTopWithNothingSelected)
{
    CDATTextBox box;
    box.resize(300, 120);
    box.show();
    QPlainTextEdit& edit = *box.findChild<QPlainTextEdit*>();
    const auto lines = [](char c) {
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += std::string(20, c) + "\n";
        return text;
    };
    box.SetText(lines('a'));
    edit.selectAll();
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
    ASSERT_GT(edit.verticalScrollBar()->value(), 0);
    box.SetText(lines('b'));
    QApplication::processEvents();
    EXPECT_EQ(edit.verticalScrollBar()->value(), 0);
    EXPECT_FALSE(edit.textCursor().hasSelection());
    EXPECT_EQ(edit.textCursor().position(), 0);
    EXPECT_TRUE(box.GetText().startsWith(QStringLiteral("bbbb")));
}

TEST_F(FileViewTest, AFileTooBigForTheMemoryLeftLeavesTheViewEmpty)
{
    if (kSanitized)
        GTEST_SKIP() << "sanitizers reserve address space of their own";
    // A small text record, shown first, beside one of 64 MiB (a 4-byte length, then the text).
    constexpr uint32_t kLength = 64u << 20;
    std::vector<uint8_t> huge {
        uint8_t(kLength >> 24), uint8_t(kLength >> 16), uint8_t(kLength >> 8), uint8_t(kLength)};
    huge.resize(4 + kLength, 'a');
    const uint8_t small[] = {2, 'o', 'k'};
    ASSERT_TRUE(Start({WriteArchive("huge.dat",
        {{0x31000001, StoredFile(0x31000001, small)}, {0x31000002, StoredFile(0x31000002, huge)}})}));
    ASSERT_EQ(FileView().GetTextBox().GetText(), QStringLiteral("ok"));
    // With room to read the big record but not to turn it into text as well.
    EXPECT_TRUE(InChild([&] {
        const uint64_t limit = AddressSpace() + (100u << 20);
        const rlimit cap {limit, limit};
        return ::setrlimit(RLIMIT_AS, &cap) == 0 && Frame().GoToID(0x31000002)
            && FileView().GetDisplayMode() == CDATFileView::ModeNone && Frame().GoToID(0x31000001)
            && FileView().GetTextBox().GetText() == QStringLiteral("ok");
    }));
}

TEST_F(FileViewTest, ShowAlphaAndGreyscaleRedrawThePictures)
{
    StartOnEveryKind();
    const auto shot = [&] { return FileView().viewport()->grab().toImage(); };
    // Show Alpha draws only pictures with their own alpha differently.
    EXPECT_FALSE(Frame().GetShowAlphaAction()->isChecked());
    for (const auto& [id, ownAlpha] : {std::pair {0x06000001u, false}, std::pair {0x06000004u, true}}) {
        ASSERT_TRUE(Frame().GoToID(id));
        Frame().GetShowAlphaAction()->setChecked(false);
        const QImage opaque = shot();
        Frame().GetShowAlphaAction()->setChecked(true);
        EXPECT_EQ(opaque != shot(), ownAlpha) << std::hex << id;
    }
    Frame().GetShowAlphaAction()->setChecked(false);

    // Greyscale draws the grey picture, and stays on for the next picture shown.
    Frame().GoToID(0x06000001);
    const QPoint inside(10, FileView().fontMetrics().height() + 20); // below the caption
    const auto shown = [&] { return QColor(shot().pixel(inside)); };
    EXPECT_EQ(shown(), QColor(255, 0, 0));

    Frame().GetGreyscaleAction()->trigger();
    EXPECT_TRUE(Frame().GetGreyscaleAction()->isChecked());
    // Grey at once for the picture shown, and for a picture shown afterwards.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            Frame().GoToID(0x31000001);
            Frame().GoToID(0x06000001);
        }
        const QColor grey = shown();
        EXPECT_EQ(grey.red(), grey.green()) << pass;
        EXPECT_EQ(grey.green(), grey.blue()) << pass;
        EXPECT_NE(grey, QColor(255, 0, 0)) << pass;
    }
}

TEST_F(FileViewTest, PrintingDrawsWhatTheViewShowsOnWhitePages)
{
    std::vector<FileSpec> files = EveryKind();
    std::string lines;
    for (int i = 0; i < 400; ++i)
        lines += "line " + std::to_string(i) + "\n";
    files.push_back({0x01000003, StoredFile(0x01000003, std::vector<uint8_t>(lines.begin(), lines.end()))});
    ASSERT_TRUE(Start({WriteArchive("print.dat", files)}));

    const struct {
        uint32_t id;
        int pages;
    } cases[] = {{0x31000001, 1}, {0x06000001, 1}, {0x01000002, 1}, {0x01000003, 0}};
    // Pages of 400 x 300 pixels at 96 dpi, collected as the printer would turn them, of the
    // range first to last.
    const auto printed = [&](int first, int last) {
        std::vector<QImage> pages;
        QImage page(400, 300, QImage::Format_RGB32);
        page.fill(Qt::gray);
        QPainter painter(&page);
        FileView().PrintPages(
            painter, page.size(),
            [&] {
                pages.push_back(page.copy());
                page.fill(Qt::gray);
                return true;
            },
            first, last);
        painter.end();
        pages.push_back(page);
        return pages;
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Frame().GoToID(c.id));
        const std::vector<QImage> pages = printed(1, 0);
        if (c.pages)
            EXPECT_EQ(int(pages.size()), c.pages) << std::hex << c.id;
        else
            EXPECT_GT(pages.size(), 2u) << "a long text runs over several pages";
        for (const QImage& printed : pages) {
            EXPECT_EQ(printed.pixel(399, 299), qRgb(255, 255, 255)) << std::hex << c.id;
            int dark = 0;
            for (int y = 0; y < printed.height(); ++y)
                for (int x = 0; x < printed.width(); ++x)
                    dark += qGray(printed.pixel(x, y)) < 128;
            EXPECT_GT(dark, 20) << std::hex << c.id;
        }
    }

    // A range of the long text gives just those pages; a range past its end draws nothing,
    // as does any page after the first of a picture.
    const std::vector<QImage> all = printed(1, 0);
    ASSERT_GT(all.size(), 3u);
    EXPECT_EQ(printed(2, 3), (std::vector<QImage> {all[1], all[2]}));
    EXPECT_EQ(printed(int(all.size()) - 1, 99), (std::vector<QImage> {all[all.size() - 2], all.back()}));
    QImage blank(400, 300, QImage::Format_RGB32);
    blank.fill(Qt::gray);
    EXPECT_EQ(printed(int(all.size()) + 1, 0), std::vector<QImage> {blank});

    // The printer takes the same pages, all of them or the range asked for.
    const auto pdfPages = [&](int first, int last) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_dir.File("text.pdf")));
        printer.setFromTo(first, last);
        EXPECT_TRUE(FileView().Print(printer));
        const std::string pdf = ReadWholeFile(m_dir.File("text.pdf"));
        EXPECT_TRUE(pdf.starts_with("%PDF"));
        size_t count = 0;
        for (size_t at = pdf.find("/Type /Page\n"); at != std::string::npos; at = pdf.find("/Type /Page\n", at + 1))
            ++count;
        return count;
    };
    EXPECT_GT(pdfPages(0, 0), 2u);
    EXPECT_EQ(pdfPages(2, 3), 2u);

    ASSERT_TRUE(Frame().GoToID(0x06000001));
    EXPECT_EQ(printed(2, 2), std::vector<QImage> {blank});
}

} // namespace
} // namespace orvanel::fixture
