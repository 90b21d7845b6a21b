#pragma once
// Starts the whole program on archives built by the test, with its own settings file, its
// own prompts object and folder chooser (nothing modal ever opens) and a Wine prefix without
// the game.

// The archive writer comes before any Qt header: Qt defines "slots" as a word of its own.
#include "writer/ArchiveBuilder.h"

#include "archive/FileCodes.h"
#include "writer/RecordBuilders.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/EntryTableModel.h"
#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "app/OrvanelDoc.h"
#include "controls/HexEditBase.h"
#include "controls/HexEditBaseView.h"
#include "tests/support/FakePrompts.h"
#include "writer/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace orvanel::fixture {

using writer::FileSpec;
using writer::StoredFile;

// A raw stored file: its ID, then payload bytes of fill.
inline FileSpec RawFile(uint32_t id, size_t payload, uint8_t fill)
{
    return {id, StoredFile(id, std::vector<uint8_t>(payload, fill))};
}

// A texture of edge x edge 24-bit pixels whose every byte is level.
inline FileSpec GreyTexture(uint32_t id, uint32_t edge, uint8_t level)
{
    const std::vector<uint8_t> pixels(size_t(edge) * edge * 3, level);
    return {id, writer::MakeTextureRecord(id, edge, edge, kTextureRGB24, pixels)};
}

class CGuiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto prefix = m_dir.Path() / "wine";
        std::filesystem::create_directory(prefix);
        qputenv("WINEPREFIX", QByteArray::fromStdString(prefix.string()));
        m_settings = std::make_unique<QSettings>(
            QString::fromStdString(m_dir.File("settings.ini")), QSettings::IniFormat);
    }

    void TearDown() override { m_app.reset(); }

    // Starts the program as the command line would; the result of its start-up. The folder
    // chooser answers m_out, made on the way, or cancels while m_out is empty.
    bool Start(const QStringList& arguments = {})
    {
        m_app = std::make_unique<COrvanelApp>(m_prompts, m_busy, *m_settings, CreateDefaultRegistrySource());
        const bool started = m_app->InitInstance(arguments);
        if (started) {
            Frame().SetFolderChooser([this](QWidget*, const QString& caption) {
                m_captions.push_back(caption.toStdString());
                if (!m_out.empty())
                    std::filesystem::create_directories(m_out);
                return QString::fromStdString(m_out.string());
            });
        }
        return started;
    }

    // Writes an archive of the given files into the test's folder.
    QString WriteArchive(const std::string& name, const std::vector<FileSpec>& files)
    {
        writer::CArchiveBuilder builder;
        builder.AddFilesAsTree(files);
        const std::string path = m_dir.File(name);
        builder.WriteFile(path);
        return QString::fromStdString(path);
    }

    // Chooses the first line of the category selector whose text starts with prefix.
    void ChooseLine(const QString& prefix)
    {
        QComboBox& selector = List().GetCategorySelector();
        selector.setCurrentIndex(selector.findText(prefix, Qt::MatchStartsWith));
        ASSERT_TRUE(selector.currentText().startsWith(prefix));
    }

    CMainFrame& Frame() { return *m_app->GetMainFrame(); }
    CDATListView& List() { return *Frame().GetListView(); }
    QTableView& Table() { return List().GetFileList(); }
    CDATFileView& FileView() { return *Frame().GetFileView(); }
    CHexEditBase& Hex() { return Frame().GetHexView()->GetHexEdit(); }
    QString Title() { return Frame().windowTitle(); }

    CTempDir m_dir;
    CFakePrompts m_prompts;
    CNoBusyIndicator m_busy;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<COrvanelApp> m_app;
    std::filesystem::path m_out;
    std::vector<std::string> m_captions;
};

} // namespace orvanel::fixture
