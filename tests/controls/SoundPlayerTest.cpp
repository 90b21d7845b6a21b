#include "archive/Platform.h"
#include "controls/DATSoundPlayer.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "writer/RecordBuilders.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace orvanel {
namespace {

class CCountingBusy final : public IBusyIndicator {
public:
    void BeginBusy() override { ++begun; }
    void EndBusy() override { ++ended; }
    int begun = 0;
    int ended = 0;
};

class SoundPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_samples.assign(44100, 0x80);
        sound.SetWave(writer::PCMFormat(1, 22050, 16), m_samples);
        sound.SetOutput(&device, nullptr);
        player.resize(400, 300);
        player.show();
    }
    QPushButton* Button(const char* tip)
    {
        for (QPushButton* button : player.findChildren<QPushButton*>())
            if (button->toolTip() == QLatin1String(tip) && !button->icon().isNull())
                return button;
        return nullptr;
    }

    fixture::CFakeWaveOutDevice device;
    CCountingBusy busy;
    CWaveSound sound;
    CDATSoundPlayer player {sound, busy};

private:
    std::vector<uint8_t> m_samples;
};

TEST_F(SoundPlayer, ButtonsAndSpaceDriveThePlaybackWhileBusyShows)
{
    QTest::mouseClick(Button("Play"), Qt::LeftButton);
    EXPECT_TRUE(device.isOpen && !device.paused);
    QTest::mouseClick(Button("Pause"), Qt::LeftButton);
    EXPECT_TRUE(sound.IsPaused() && device.paused);
    // Space pauses and resumes wherever the focus is in the pane; a focused button does not click.
    QTest::keyClick(Button("Play"), Qt::Key_Space);
    EXPECT_FALSE(sound.IsPaused() || device.paused);
    QTest::keyClick(&player, Qt::Key_Space);
    EXPECT_TRUE(sound.IsPaused() && device.opened == 1);
    QTest::mouseClick(Button("Stop"), Qt::LeftButton);
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
    EXPECT_EQ(busy.begun, 5);
    EXPECT_EQ(busy.ended, 5);
}

TEST_F(SoundPlayer, ClickingTheWaveformPlaysFromThere)
{
    // The middle of the second-long sound, give or take a column of the waveform.
    CWaveViewer& viewer = player.Viewer();
    QTest::mouseClick(&viewer, Qt::LeftButton, {}, QPoint(viewer.width() / 2, viewer.height() / 3));
    EXPECT_NEAR(sound.GetPosition(), 11025, 22050 / viewer.width() + 1);
    ASSERT_FALSE(device.inDevice.empty());
    EXPECT_EQ(device.inDevice.front()->data, sound.GetSamples() + 2 * sound.GetPosition());
}

} // namespace
} // namespace orvanel
