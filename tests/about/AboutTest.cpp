// The About box: the version line and the fields read from the program's version information.

#include "about/AboutDlg.h"
#include "about/StaticEx.h"
#include "about/VersionInfo.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(AboutDlgTest, FieldsComeFromTheProgramsOwnVersionStrings)
{
    std::string text;
    EXPECT_TRUE(ReadVersionString(text, "FileVersion"));
    EXPECT_EQ(text, "2, 0, 0, 0");
    text = "unchanged";
    EXPECT_FALSE(ReadVersionString(text, "PrivateBuild"));
    EXPECT_EQ(text, "unchanged");

    CAboutDlg dialog;
    EXPECT_EQ(dialog.GetProductName().text(), "Orvanel");
    EXPECT_EQ(dialog.GetVersion().text(), "Version 2.0.0.0");
    EXPECT_EQ(dialog.GetCopyright().text(), "Copyright (C) 2026 Glintware");
    EXPECT_TRUE(dialog.GetWeb().IsLink());
    EXPECT_FALSE(dialog.GetProductName().IsLink());
}

} // namespace
} // namespace orvanel
