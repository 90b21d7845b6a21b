#include "controls/DATSoundPlayer.h"
#include "tests/decode/FakeWaveOutDevice.h"
#include "tests/support/FakePrompts.h"
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
        sound.SetOutput(&device, &prompts);
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
    fixture::CFakePrompts prompts;
    CCountingBusy busy;
    CWaveSound sound;
    CDATSoundPlayer player{sound, busy};

private:
    std::vector<uint8_t> m_samples;
};

TEST_F(SoundPlayer, ButtonsDriveThePlaybackWhileBusyShows)
{
    QTest::mouseClick(Button("Play"), Qt::LeftButton);
    EXPECT_TRUE(device.isOpen && !device.paused);
    QTest::mouseClick(Button("Pause"), Qt::LeftButton);
    EXPECT_TRUE(sound.IsPaused() && device.paused);
    QTest::mouseClick(Button("Stop"), Qt::LeftButton);
    EXPECT_FALSE(sound.IsOpen() || device.isOpen);
    EXPECT_EQ(busy.begun, 3);
    EXPECT_EQ(busy.ended, 3);
}

TEST_F(SoundPlayer, ViewerKeepsTheButtonsMarginsAsThePaneResizes)
{
    const QRect play = Button("Play")->geometry();
    const int top = play.top() + play.top() + play.height();
    for (const QSize size : {QSize(400, 300), QSize(640, 180), QSize(10, 10)}) {
        player.resize(size);
        const QRect expected(play.left(), top, std::max(size.width() - 2 * play.left(), 0),
            std::max(size.height() - play.top() - top, 0));
        EXPECT_EQ(player.Viewer().geometry(), expected) << size.width() << "x" << size.height();
    }
}

TEST_F(SoundPlayer, SpaceTogglesPauseWhereverTheFocusIs)
{
    player.Play();
    for (QWidget* focus : {static_cast<QWidget*>(&player), static_cast<QWidget*>(Button("Play"))}) {
        QTest::keyClick(focus, Qt::Key_Space);
        EXPECT_TRUE(sound.IsPaused());
        QTest::keyClick(focus, Qt::Key_Space);
        EXPECT_FALSE(sound.IsPaused());
    }
    EXPECT_EQ(device.opened, 1); // no click
}

TEST_F(SoundPlayer, ClickingTheWaveformPlaysFromThere)
{
    CWaveViewer& viewer = player.Viewer();
    const int waveWidth = viewer.width() - 4;
    QTest::mouseClick(&viewer, Qt::LeftButton, {}, QPoint(2 + waveWidth / 2, viewer.height() / 3));
    const uint32_t frame = uint32_t(uint64_t(waveWidth / 2) * 22050 / uint64_t(waveWidth));
    EXPECT_EQ(sound.GetPosition(), frame);
    ASSERT_FALSE(device.inDevice.empty());
    EXPECT_EQ(device.inDevice.front()->data, sound.GetSamples() + 2 * frame);
}

} // namespace
} // namespace orvanel
