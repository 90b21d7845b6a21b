// Save: the selected rows of the list written into the chosen folder, and what cancelling the
// folder chooser or the progress window leaves.

#include "tests/app/GuiFixture.h"

#include "app/SelectionExport.h"
#include "content/FileExport.h"
#include "decode/OutputFile.h"
#include "platform/QtInterruptWatcher.h"

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
    List().GetFileList().selectAll();
    Frame().OnFileSave();
    m_out = m_dir.Path() / "out";
    List().GetFileList().clearSelection();
    Frame().OnFileSave();
    EXPECT_TRUE(m_prompts.informed.empty());

    List().GetFileList().selectAll();
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
    EXPECT_EQ(ExportWithProgress(*m_app->GetDocument(), entries, m_out.string(), &Frame(), 0).Failed(), 0u);
    const auto written = FileNamesIn(m_out);
    EXPECT_GE(written.size(), 1u);
    EXPECT_LT(written.size(), 60u);
    for (const std::string& name : written) {
        EXPECT_TRUE(name.ends_with(".bin")) << name;
        EXPECT_EQ(std::filesystem::file_size(m_out / name), 5004u) << name;
    }
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
