// The About box: the version line and the fields read from the program's version information.

#include "about/AboutDlg.h"
#include "about/StaticEx.h"
#include "about/VersionInfo.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace orvanel {
namespace {

// Receives the links the desktop would open.
class CLinkCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(VersionInfoTest, ReadsOwnStringsOnly)
{
    std::string text;
    EXPECT_TRUE(ReadVersionString(text, "FileVersion"));
    EXPECT_EQ(text, "2, 0, 0, 0");
    text = "unchanged";
    EXPECT_FALSE(ReadVersionString(text, "PrivateBuild"));
    EXPECT_EQ(text, "unchanged");
}

TEST(AboutDlgTest, FieldsComeFromTheVersionInformationAndLinksOpen)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About Orvanel");
    EXPECT_EQ(dialog.GetProductName().text(), "Orvanel");
    EXPECT_EQ(dialog.GetVersion().text(), "Version 2.0.0.0");
    EXPECT_EQ(dialog.GetCopyright().text(), "Copyright (C) 2026 Glintware");
    EXPECT_TRUE(dialog.GetWeb().IsLink());
    EXPECT_EQ(dialog.GetWeb().GetTextColour(), QColor(0, 0, 255));
    EXPECT_FALSE(dialog.GetProductName().IsLink());

    // Links go to a handler of the test's instead of the desktop.
    CLinkCatcher catcher;
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    QSignalSpy web(&dialog.GetWeb(), &CStaticEx::linkOpened);
    QSignalSpy name(&dialog.GetProductName(), &CStaticEx::linkOpened);
    QTest::mouseClick(&dialog.GetProductName(), Qt::LeftButton);
    QTest::mouseClick(&dialog.GetWeb(), Qt::LeftButton);
    EXPECT_EQ(name.size(), 0);
    ASSERT_EQ(web.size(), 1);
    EXPECT_EQ(web.front().front().toString(), dialog.GetWeb().GetLinkText());
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front().scheme(), "https");
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::unsetUrlHandler(scheme);
}

} // namespace
} // namespace orvanel

#include "AboutTest.moc"
