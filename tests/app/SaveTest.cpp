// Save, Save As PNG, Save Category and Save All in the desktop program: what each writes, the
// format remembered between them, the status bar's line and the summary of files not saved,
// and what cancelling the folder chooser or the progress window leaves; and the end of a
// program interrupted while it writes.

#include "tests/app/GuiFixture.h"

#include "app/SelectionExport.h"
#include "content/FileExport.h"
#include "decode/OutputFile.h"
#include "platform/QtInterruptWatcher.h"
#include "tests/support/PngReadBack.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel::fixture {
namespace {

using SaveTest = CGuiFixture;

TEST_F(SaveTest, LongSelectionIsWrittenWholeAndCancelStopsAfterTheCurrentFile)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 60; ++i)
        files.push_back({0x02000000 + i, StoredFile(0x02000000 + i, std::vector<uint8_t>(5000, 7))});
    ASSERT_TRUE(Start({WriteArchive("save.dat", files)}));
    // A cancelled folder chooser, or no row selected, saves nothing and says nothing.
    Table().selectAll();
    Frame().OnFileSave();
    m_out = m_dir.Path() / "out";
    Table().clearSelection();
    Frame().OnFileSave();

    Table().selectAll();
    Frame().OnFileSave();
    EXPECT_EQ(FileNamesIn(m_out).size(), 60u);
    EXPECT_TRUE(m_prompts.informed.empty());
    std::filesystem::remove_all(m_out);
    std::filesystem::create_directory(m_out);

    DATEntryList entries = m_app->GetDocument()->GetArchive()->CategoryLists().at(0x02);
    // Cancel is pressed as soon as the dialog hands the events on.
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<QProgressDialog*>(widget))
                progress->cancel();
        }
    });
    const ExportResult result = ExportWithProgress(*m_app->GetDocument(), entries, m_out.string(), &Frame(), 0);
    EXPECT_EQ(result.Failed(), 0u);
    const auto written = FileNamesIn(m_out);
    EXPECT_GE(written.size(), 1u);
    EXPECT_LT(written.size(), 60u);
    // The status line says the export was cancelled, and before how many files.
    EXPECT_EQ(result.saved, written.size());
    EXPECT_EQ(result.notReached, 60u - written.size());
    EXPECT_EQ(ExportStatusText(result, "F"),
        "Saved " + std::to_string(result.saved) + (result.saved == 1 ? " file" : " files") + " to F; cancelled before "
            + std::to_string(result.notReached) + " more");
    for (const std::string& name : written) {
        EXPECT_TRUE(name.ends_with(".bin")) << name;
        EXPECT_EQ(std::filesystem::file_size(m_out / name), 5004u) << name;
    }
}

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
    Table().selectAll();
    m_out = m_dir.Path() / "png";
    Frame().GetSaveAsPNGAction()->trigger();
    EXPECT_EQ(FileNamesIn(m_out), (std::vector<std::string> {"06000001.png", "06000002.png"}));
    EXPECT_FALSE(ReadPNG((m_out / "06000001.png").string()).HasAlpha());
    EXPECT_EQ(ReadPNG((m_out / "06000002.png").string()).rgba.at(3), 0x80);
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
    Table().clearSelection(); // the line's files, selected or not
    m_out = m_dir.Path() / "category";
    Frame().GetSaveCategoryAction()->trigger();
    EXPECT_EQ(FileNamesIn(m_out), std::vector<std::string> {"01000001.bin"});
    EXPECT_EQ(Status(), "Saved 1 file to " + m_out.string() + ", 1 not saved");
    EXPECT_EQ(m_prompts.informed,
        std::vector<std::string> {std::string(kExportSummaryMessage)
            + "\n\n1 file not saved:\n01000002: bad ID (its first word is 01000003)"});
}

// A child program with a write under way gets a signal; the event loop handles it.
TEST(SaveInterrupted, SignalsEndTheProgramWithoutATemporaryUnlessIgnoredAtStart)
{
    const struct {
        int signal;
        bool ignored;
    } cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGHUP, true}};
    for (const auto& c : cases) {
        CTempDir dir;
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (c.ignored)
                std::signal(c.signal, SIG_IGN);
            CQtInterruptWatcher watcher;
            COutputFolder folder(dir.Path().string(), false); // the road that leaves a name
            COutputFile file(folder);
            if (!file.Create())
                ::_exit(2);
            QTimer::singleShot(0, [&] { ::raise(c.signal); });
            QTimer::singleShot(300, [] { ::_exit(0); });
            QEventLoop().exec();
            ::_exit(3);
        }
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        if (c.ignored) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.signal << " " << status;
            EXPECT_TRUE(FileNamesIn(dir.Path()).empty()) << c.signal;
        }
    }
}

} // namespace
} // namespace orvanel::fixture
