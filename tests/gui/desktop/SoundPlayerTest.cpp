// The alarm sound: the shipped tune, a missing file (the beep instead), a file that is no sound.
// Test machines rarely have a sound device, so every case must end on its own either way.
#include "gui/desktop/SoundPlayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace mv::gui {
namespace {

const QString tune = QStringLiteral(MV_TEST_DATA "/../../assets/sound/harptune.wav");

class SoundPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        SoundPlayer::setBeeper([this] { ++beeps; });
    }
    void TearDown() override { SoundPlayer::setBeeper({}); }

    SoundPlayer player;
    QSignalSpy failures{&player, &SoundPlayer::failed};
    int beeps = 0;
};

TEST_F(SoundPlayerTest, MissingAlarmFileBeepsInstead) {
    player.playAlarm(QStringLiteral("/nonexistent/alarm.wav"), true);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(failures.count(), 0) << "the beep is the answer, not a failure";

    // Asked to play it directly, the missing file is reported.
    EXPECT_FALSE(player.play(QStringLiteral("/nonexistent/alarm.wav"), false));
    ASSERT_EQ(failures.count(), 1);
    EXPECT_TRUE(failures.at(0).at(0).toString().contains(QStringLiteral("/nonexistent/alarm.wav")));
}

TEST_F(SoundPlayerTest, TheTunePlaysOrReportsAndBeepsAndStopsEitherWay) {
    ASSERT_TRUE(QFile::exists(tune));
    const bool device = !QMediaDevices::defaultAudioOutput().isNull();
    for (bool loop : {true, false}) {
        failures.clear();
        beeps = 0;
        player.playAlarm(tune, loop);
        if (device) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return player.isPlaying(); }, 5000));
            EXPECT_EQ(beeps, 0);
        } else {
            // Nobody would hear the tune: the user gets the beep and the program a report.
            EXPECT_EQ(failures.count(), 1);
            EXPECT_EQ(beeps, 1);
            EXPECT_FALSE(player.isPlaying());
        }
        player.stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !player.isPlaying(); }, 2000));
    }
}

TEST_F(SoundPlayerTest, AFileThatIsNoSoundIsReportedNeverPlayed) {
    QTemporaryDir dir;
    const QString bogus = dir.filePath(QStringLiteral("bogus.wav"));
    QFile file(bogus);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF this is not a wave file at all");
    file.close();

    player.play(bogus, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return failures.count() > 0; }, 5000));
    EXPECT_FALSE(player.isPlaying());
    player.stop();
}

TEST_F(SoundPlayerTest, StoppingWhenNothingPlaysIsHarmless) {
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(failures.count(), 0);
}

} // namespace
} // namespace mv::gui
