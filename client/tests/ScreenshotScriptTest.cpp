// scripts/screenshot.sh under a real X server: the picture is the client's
// window as the screen shows it.
#include "platform/testsupport/TestSupport.h"

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <gtest/gtest.h>

TEST(ScreenshotScript, SavesThePictureOfTheMainWindow) {
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
    testsupport::TempHome home;
    const QString picture = home.file("event-log.png");

    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    script.setProcessEnvironment(env);
    script.start("bash", {QStringLiteral(TAVREL_SOURCE_DIR) + "/scripts/screenshot.sh", "-o", picture, "-t",
                          "Event Log", testsupport::binPath("Tavrel")});
    ASSERT_TRUE(script.waitForFinished(120000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    EXPECT_EQ(script.readAllStandardOutput().trimmed(), picture.toUtf8());

    QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 667);
    EXPECT_GE(image.height(), 520);
    // A real picture of widgets, not an empty frame.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
}
