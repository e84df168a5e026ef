// scripts/screenshot.sh under a real X server: the picture is the client's
// window as the screen shows it, on the demo's program folder, named by a
// relative TAVREL_HOME as the README's command names it.
#include "DemoRoad.h"

#include "platform/AdoConnection.h"

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

QImage screenshot(const DemoRoad& road, const QString& picture, const QString& tab, QString* error) {
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    road.prepare(script, env);
    script.start("bash", {QStringLiteral(TAVREL_SOURCE_DIR) + "/scripts/screenshot.sh", "-o", picture, "-t", tab,
                          testsupport::binPath("Tavrel"), "-debug"});
    if (!script.waitForFinished(150000) || script.exitCode() != 0) {
        *error = QString::fromLocal8Bit(script.readAllStandardError());
        return QImage();
    }
    return QImage(picture);
}

}  // namespace

TEST(ScreenshotScript, TheDemoRoadShowsTheClientWithTheServiceRunning) {
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
    if (!DemoRoad::available()) GTEST_SKIP() << "the programs are not built";
    DemoRoad road;
    QString error;
    ASSERT_TRUE(road.start(true, &error)) << error.toStdString();

    const QImage image = screenshot(road, road.home.file("event-log.png"), "Event Log", &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_GE(image.width(), 667);
    EXPECT_GE(image.height(), 520);
    // A real picture of widgets, not an empty frame.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8);

    // Meanwhile the service searched the demo's sample.
    platform::AdoConnection db;
    db.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + road.home.file("TaskDB.mdb"));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        QSqlQuery q = db.query("SELECT COUNT(*) FROM Sorvex_Tavrel_Results");
        return q.next() && q.value(0).toInt() > 0;
    }, 60000));
}
