#include "params/forms/PathLabel.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(PathLabelTest, ALongPathKeepsItsBeginningAndFileNameAroundAnEllipsis) {
    PathLabel label;
    const QFontMetrics metrics(label.font());
    const QString path = "/home/ann/projects/liver/2024/parameter sets/Liver digest, 10 ppm.par";
    EXPECT_EQ(fitPath(path, metrics, metrics.horizontalAdvance(path)), path);

    const QString fitted = fitPath(path, metrics, metrics.horizontalAdvance(path) / 2);
    EXPECT_TRUE(fitted.startsWith("/home")) << fitted.toStdString();
    EXPECT_TRUE(fitted.endsWith(".../Liver digest, 10 ppm.par")) << fitted.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(fitted), metrics.horizontalAdvance(path) / 2);

    label.show();
    label.resize(metrics.horizontalAdvance(path) * 2, 20);
    label.setPath(path);
    EXPECT_EQ(label.text(), path);
    EXPECT_TRUE(label.toolTip().isEmpty());
    label.resize(metrics.horizontalAdvance(path) / 2, 20);  // fitted again when the window shrinks
    EXPECT_NE(label.text(), path);
    EXPECT_EQ(label.toolTip(), path);
}
