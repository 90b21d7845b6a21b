// Start-up, opening and reopening archives, the caption and the recent-file list.

#include "tests/app/GuiFixture.h"

#include "app/HexColours.h"
#include "app/RecentFileList.h"
#include "platform/QtUserPrompts.h"

#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <fstream>
#include <sys/stat.h>

namespace orvanel::fixture {
namespace {

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
    EXPECT_EQ(Frame().statusBar()->currentMessage(), "No installed game found (see orvanel-cli locate)");
    EXPECT_FALSE(Frame().GetSaveAction()->isEnabled());
    EXPECT_FALSE(Frame().GetGoToIDAction()->isEnabled());

    ASSERT_TRUE(m_app->OpenDocumentFile(WriteArchive("first.dat", SmallFiles())));
    EXPECT_TRUE(Frame().statusBar()->currentMessage().isEmpty());
    m_app->OnFileNew();
    EXPECT_EQ(Frame().statusBar()->currentMessage(), "No installed game found (see orvanel-cli locate)");
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    ExpectEmptyViews();
    EXPECT_TRUE(m_prompts.informed.empty());
}

TEST_F(AppStartupTest, WithoutArgumentOpensTheInstalledGamesClientPortal)
{
    namespace fs = std::filesystem;
    const fs::path prefix = m_dir.Path() / "wine";
    const fs::path folder = prefix / "drive_c" / "Games" / "Tarnwick";
    fs::create_directories(folder);
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    std::ofstream(prefix / "system.reg")
        << "WINE REGISTRY Version 2\n#arch=win64\n\n"
           "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\T] 1\n"
           "\"DisplayName\"=\"Tarnwick: Emberfall\"\n"
           "\"Publisher\"=\"Quellspire\"\n"
           "\"InstallLocation\"=\"C:\\\\GAMES\\\\TARNWICK\"\n";
    const fs::path archive = folder / "client_portal.dat";
    fs::copy_file(WriteArchive("game.dat", SmallFiles()).toStdString(), archive);
    const std::string hostPath =
        fs::canonical(prefix / "drive_c").string() + "/Games/Tarnwick/client_portal.dat";

    ASSERT_TRUE(Start());
    EXPECT_EQ(Title().toStdString(), "Orvanel - " + hostPath);
    EXPECT_EQ(List().GetCategorySelector().count(), 2);

    // The Default command opens it again; a missing file is reported.
    m_app->OnFileNew();
    EXPECT_EQ(Title().toStdString(), "Orvanel - " + hostPath);
    fs::remove(archive);
    m_app->OnFileNew();
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    EXPECT_EQ(m_prompts.kinds, std::vector<MessageKind> {MessageKind::Error});
}

TEST_F(AppStartupTest, PathArgumentOpensThatArchiveOrEndsAStartUpItCannotServe)
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
    EXPECT_TRUE(Frame().GetSaveAction()->isEnabled());
    EXPECT_TRUE(Frame().GetGoToIDAction()->isEnabled());
    Table().clearSelection();
    EXPECT_FALSE(Frame().GetSaveAction()->isEnabled());

    // Opening it again reopens it, with the commands and the column widths never switched
    // back and forth on the way (each switch redraws); a failed open leaves no file loaded,
    // empty views and the commands off.
    int switched = 0, resized = 0;
    for (QAction* action : {Frame().GetSaveAction(), Frame().GetGoToIDAction(), Frame().GetSaveAllAction()})
        QObject::connect(action, &QAction::enabledChanged, [&switched] { ++switched; });
    QObject::connect(Table().horizontalHeader(), &QHeaderView::sectionResized, [&resized] { ++resized; });
    ASSERT_NE(m_app->OpenDocumentFile(path), nullptr);
    EXPECT_EQ(Title(), "Orvanel - " + path);
    EXPECT_EQ(Hex().GetData().size(), 9u);
    EXPECT_TRUE(Frame().GetSaveAction()->isEnabled());
    EXPECT_EQ(switched, 1); // Save, which had no selected row
    EXPECT_EQ(resized, 0);
    EXPECT_EQ(m_app->OpenDocumentFile(QString::fromStdString(m_dir.File("missing.dat"))), nullptr);
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
    ExpectEmptyViews();
    EXPECT_FALSE(Frame().GetSaveAction()->isEnabled());
    EXPECT_FALSE(Frame().GetGoToIDAction()->isEnabled());
    EXPECT_EQ(m_app->GetDocument()->GetArchive(), nullptr);
    EXPECT_EQ(m_prompts.informed.size(), 1u);
    // Nor is a named pipe opened, which nobody writes to: it would wait forever.
    const std::string pipe = m_dir.File("pipe.dat");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(m_app->OpenDocumentFile(QString::fromStdString(pipe)), nullptr);
    EXPECT_EQ(m_prompts.informed.back(), "Cannot open the file " + pipe + ".");

    // A file that is not an archive, given at start-up, ends the start-up with a message.
    m_app.reset();
    std::ofstream(m_dir.File("junk.dat")) << "not an archive";
    EXPECT_FALSE(Start({QString::fromStdString(m_dir.File("junk.dat"))}));
    EXPECT_GT(m_prompts.informed.size(), 1u);
}

TEST_F(AppStartupTest, DroppedArchiveIsOpenedAsACopy)
{
    ASSERT_TRUE(Start());
    const QString path = WriteArchive("dropped.dat", SmallFiles());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // A file manager offering a move proposes it; entering and dropping must still be a copy.
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    for (QDropEvent* event : {static_cast<QDropEvent*>(&enter), &drop}) {
        event->setDropAction(Qt::MoveAction);
        QApplication::sendEvent(&Frame(), event);
        EXPECT_TRUE(event->isAccepted());
        EXPECT_EQ(event->dropAction(), Qt::CopyAction);
    }
    EXPECT_EQ(Title().toStdString(), ("Orvanel - " + path).toStdString());
    EXPECT_EQ(List().GetCategorySelector().count(), 2);
}

TEST_F(AppStartupTest, RecentListKeepsFourMostRecentFirstAndDropsAFailedEntry)
{
    ASSERT_TRUE(Start());
    const auto& actions = Frame().GetRecentFileActions();
    EXPECT_FALSE(actions.front()->isVisible());
    const QList<QAction*> all = Frame().findChildren<QAction*>();
    QAction* placeholder =
        *std::find_if(all.begin(), all.end(), [](QAction* a) { return a->text() == "Recent File"; });
    EXPECT_TRUE(placeholder->isVisible());
    EXPECT_FALSE(placeholder->isEnabled());

    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        paths.append(WriteArchive("a" + std::to_string(i) + ".dat", SmallFiles()));
        ASSERT_NE(m_app->OpenDocumentFile(paths.back()), nullptr);
    }
    const QStringList expected {paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(m_app->GetRecentFileList().Paths(), expected);
    EXPECT_TRUE(actions[3]->isVisible());
    EXPECT_TRUE(actions[3]->text().startsWith("&4 "));
    EXPECT_EQ(actions[3]->statusTip(), paths[1]);
    EXPECT_FALSE(placeholder->isVisible());

    // The list survives in the settings store.
    CRecentFileList reread(*m_settings);
    EXPECT_EQ(reread.Paths(), expected);

    QFile::remove(paths[2]);
    actions[2]->trigger();
    EXPECT_EQ(m_app->GetRecentFileList().Paths(), (QStringList {paths[4], paths[3], paths[1]}));
    EXPECT_FALSE(actions[3]->isVisible());
    EXPECT_EQ(Title(), "Orvanel - No File Loaded");
}

// Contrast of two colours by their relative luminance, as accessibility guidelines measure it.
double Contrast(const QColor& a, const QColor& b)
{
    const auto lum = [](const QColor& c) {
        const auto f = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * f(c.redF()) + 0.7152 * f(c.greenF()) + 0.0722 * f(c.blueF()) + 0.05;
    };
    return std::max(lum(a), lum(b)) / std::min(lum(a), lum(b));
}

TEST_F(AppStartupTest, HighContrastIsRememberedAndEveryHexTextStandsOut)
{
    QPalette light(QColor(240, 240, 240));
    QPalette dark(QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    for (const QPalette* desktop : {&light, &dark}) {
        const HexColourScheme scheme = ChooseHexColours(*desktop, true);
        for (const QColor& text : {scheme.address, scheme.hex, scheme.ascii})
            EXPECT_GE(Contrast(text, scheme.background), 4.5) << text.name().toStdString();
    }
    // The default follows a dark desktop.
    EXPECT_LT(ChooseHexColours(dark, false).background.lightness(), 64);

    ASSERT_TRUE(Start());
    Frame().GetHighContrastAction()->trigger();
    m_app.reset();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame().GetHighContrastAction()->isChecked());
    Hex().resize(200, 100);
    EXPECT_EQ(Hex().grab().toImage().pixelColor(100, 50), QColor(Qt::white));
}

} // namespace
TEST(MessageBoxes, ErrorsAndWarningsCarryTheirIcons)
{
    const std::pair<MessageKind, QMessageBox::Icon> cases[] = {
        {MessageKind::Information, QMessageBox::Information}, {MessageKind::Warning, QMessageBox::Warning},
        {MessageKind::Error, QMessageBox::Critical}};
    for (const auto& [kind, icon] : cases) {
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->icon();
                box->close();
            }
        });
        CQtUserPrompts().Report(kind, "message");
        EXPECT_EQ(shown, icon);
    }
}

TEST(RecentFileMenu, NumberedEscapedAndShortenedInTheMiddle)
{
    const QFontMetrics metrics(QApplication::font());
    EXPECT_EQ(RecentFileMenuText(0, "/data/R&D.dat", metrics), "&1 /data/R&&D.dat");
    const QString longPath = "/home/user/" + QString(300, 'x') + "/client_portal.dat";
    const QString shortened = RecentFileMenuText(1, longPath, metrics);
    EXPECT_TRUE(shortened.startsWith("&2 /home/user/")) << shortened.toStdString();
    EXPECT_TRUE(shortened.endsWith("/client_portal.dat")) << shortened.toStdString();
    EXPECT_TRUE(shortened.contains(QChar(0x2026)));
    EXPECT_LT(metrics.horizontalAdvance(shortened), 50 * metrics.averageCharWidth());
}

} // namespace orvanel::fixture
