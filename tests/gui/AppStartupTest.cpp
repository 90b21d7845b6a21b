// Start-up, opening and reopening archives, the caption and the recent-file list.

#include "tests/gui/GuiFixture.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <fstream>
#include <QComboBox>
#include <QFile>
#include <QTableView>

namespace orvanel::fixture {
namespace {

using writer::FileSpec;
using writer::StoredFile;

std::vector<FileSpec> SmallFiles()
{
    const uint8_t payload[] = {'a', 'b', 'c', 0, 'd'};
    return {{0x01000001, StoredFile(0x01000001, payload)}, {0x02000001, StoredFile(0x02000001)}};
}

class AppStartupTest : public CGuiFixture {
protected:
    void ExpectEmptyViews()
    {
        EXPECT_EQ(List().GetCategorySelector().count(), 0);
        EXPECT_EQ(List().GetModel().rowCount(), 0);
        EXPECT_TRUE(Hex().GetData().empty());
        EXPECT_EQ(FileView().GetDisplayMode(), CDATFileView::ModeNone);
    }
};

TEST_F(AppStartupTest, WithoutArgumentOrGameShowsNoFileLoadedSilently)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    ExpectEmptyViews();
    EXPECT_TRUE(m_prompts.informed.empty());

    m_app->OnFileNew();
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    ExpectEmptyViews();
    EXPECT_TRUE(m_prompts.informed.empty());
}

TEST_F(AppStartupTest, WithoutArgumentOpensTheInstalledGamesClientPortal)
{
    namespace fs = std::filesystem;
    const fs::path prefix = m_dir.Path() / "wine";
    fs::create_directories(prefix / "drive_c" / "Games" / "Tarnwick");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    std::ofstream(prefix / "system.reg")
        << "WINE REGISTRY Version 2\n#arch=win64\n\n"
           "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\T] 1\n"
           "\"DisplayName\"=\"Tarnwick: Emberfall\"\n"
           "\"Publisher\"=\"Quellspire\"\n"
           "\"InstallLocation\"=\"C:\\\\GAMES\\\\TARNWICK\"\n";
    writer::CArchiveBuilder builder;
    builder.AddFilesAsTree(SmallFiles());
    const fs::path archive = prefix / "drive_c" / "Games" / "Tarnwick" / "client_portal.dat";
    ASSERT_TRUE(builder.WriteFile(archive.string()));
    const std::string hostPath = fs::canonical(prefix / "drive_c").string() + "/Games/Tarnwick/client_portal.dat";

    ASSERT_TRUE(Start());
    EXPECT_EQ(Title().toStdString(), "Orvanel - " + hostPath);
    EXPECT_EQ(List().GetCategorySelector().count(), 2);

    // The Default command opens it again; a missing file is reported.
    m_app->OnFileNew();
    EXPECT_EQ(Title().toStdString(), "Orvanel - " + hostPath);
    fs::remove(archive);
    m_app->OnFileNew();
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    EXPECT_EQ(m_prompts.informed.size(), 1u);
}

TEST_F(AppStartupTest, PathArgumentOpensThatArchiveAndShowsItsFirstFile)
{
    const QString path = WriteArchive("first.dat", SmallFiles());
    ASSERT_TRUE(Start({path}));
    EXPECT_EQ(Title(), "Orvanel - " + path);
    EXPECT_EQ(m_app->GetDocument()->GetPathName(), path.toStdString());
    EXPECT_EQ(List().GetCategorySelector().count(), 2);
    EXPECT_EQ(List().GetModel().rowCount(), 1);
    EXPECT_EQ(Hex().GetData().size(), 9u);
    EXPECT_EQ(FileView().GetDisplayMode(), CDATFileView::ModeRawText);
    EXPECT_TRUE(m_prompts.informed.empty());
}

TEST_F(AppStartupTest, FailedSecondOpenLeavesNoFileLoadedAndEmptyViews)
{
    const QString path = WriteArchive("first.dat", SmallFiles());
    ASSERT_TRUE(Start({path}));
    EXPECT_EQ(m_app->OpenDocumentFile(QString::fromStdString(m_dir.File("missing.dat"))), nullptr);
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    ExpectEmptyViews();
    EXPECT_EQ(m_app->GetDocument()->GetArchive(), nullptr);
    EXPECT_EQ(m_prompts.informed.size(), 1u);
}

TEST_F(AppStartupTest, UnusableArgumentEndsStartUp)
{
    const QString path = QString::fromStdString(m_dir.File("junk.dat"));
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an archive");
    junk.close();
    EXPECT_FALSE(Start({path}));
    EXPECT_FALSE(m_prompts.informed.empty());
}

TEST_F(AppStartupTest, OpeningTheOpenArchiveAgainReopensIt)
{
    const QString path = WriteArchive("first.dat", SmallFiles());
    ASSERT_TRUE(Start({path}));
    ASSERT_NE(m_app->OpenDocumentFile(path), nullptr);
    EXPECT_EQ(Title(), "Orvanel - " + path);
    EXPECT_NE(m_app->GetDocument()->GetArchive(), nullptr);
    EXPECT_EQ(List().GetCategorySelector().count(), 2);
    EXPECT_EQ(Hex().GetData().size(), 9u);
}

TEST_F(AppStartupTest, DroppedArchiveIsOpened)
{
    ASSERT_TRUE(Start());
    const QString path = WriteArchive("dropped.dat", SmallFiles());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(Title().toStdString(), ("Orvanel - " + path).toStdString());
    EXPECT_EQ(List().GetCategorySelector().count(), 2);
}

TEST_F(AppStartupTest, RecentListKeepsFourMostRecentFirstAndDropsAFailedEntry)
{
    ASSERT_TRUE(Start());
    const auto& actions = Frame().GetRecentFileActions();
    EXPECT_FALSE(actions.front()->isVisible());
    QAction* placeholder = nullptr;
    for (QAction* action : Frame().findChildren<QAction*>()) {
        if (action->text() == "Recent File")
            placeholder = action;
    }
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(placeholder->isVisible());
    EXPECT_FALSE(placeholder->isEnabled());

    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        paths.append(WriteArchive("a" + std::to_string(i) + ".dat", SmallFiles()));
        ASSERT_NE(m_app->OpenDocumentFile(paths.back()), nullptr);
    }
    const QStringList expected{paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(m_app->GetRecentFileList().Paths(), expected);
    EXPECT_TRUE(actions[3]->isVisible());
    EXPECT_TRUE(actions[3]->text().endsWith(paths[1]));
    EXPECT_FALSE(placeholder->isVisible());

    // The list survives in the settings store.
    CRecentFileList reread(*m_settings);
    EXPECT_EQ(reread.Paths(), expected);

    QFile::remove(paths[2]);
    actions[2]->trigger();
    EXPECT_EQ(m_app->GetRecentFileList().Paths(), (QStringList{paths[4], paths[3], paths[1]}));
    EXPECT_FALSE(actions[3]->isVisible());
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
}

} // namespace
} // namespace orvanel::fixture
