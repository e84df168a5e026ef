#include "clientcommon/forms/FitPathToLabel.h"

#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

using tavrel::DT_PATH_ELLIPSIS;

namespace {

int allowedWidth(const QLabel& label) { return int(0.9 * label.contentsRect().width()); }

}  // namespace

TEST(FitPathToLabel, APathThatFitsIsKeptWithoutToolTip) {
    QLabel label;
    label.resize(400, 20);
    label.setToolTip("left over");
    const QString path = "/data/a.par";
    EXPECT_EQ(tavrel::modGlobal_FitPathToLabel(&label, path, DT_PATH_ELLIPSIS), path);
    EXPECT_EQ(label.property("Tag").toString(), path);
    EXPECT_TRUE(label.toolTip().isEmpty());
}

TEST(FitPathToLabel, ALongPathKeepsItsStartAndItsFileName) {
    QLabel label;
    label.resize(240, 20);
    const QFontMetrics metrics = label.fontMetrics();
    struct Case {
        QString path, start, end;
    } cases[] = {
        {"/home/ann/projects/proteomics/runs/2024/march/week-two/sample-batch-7/search.par", "/home", "/search.par"},
        {"C:\\Program Files\\Sorvex\\Tavrel\\parameter sets\\laboratory\\default search.par", "C:",
         "\\default search.par"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const QString shown = tavrel::modGlobal_FitPathToLabel(&label, c.path, DT_PATH_ELLIPSIS);
        EXPECT_NE(shown, c.path);
        EXPECT_TRUE(shown.startsWith(c.start)) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith("..." + c.end)) << shown.toStdString();
        EXPECT_LE(metrics.horizontalAdvance(shown), allowedWidth(label));
        EXPECT_EQ(label.toolTip(), c.path);
        EXPECT_EQ(label.property("Tag").toString(), c.path);
    }
}

TEST(FitPathToLabel, AFileNameTooLongByItselfKeepsItsStart) {
    QFontMetrics metrics{QFont()};
    const QString name = "/" + QString(200, QChar('x')) + ".par";
    const QString shown = tavrel::shortenToWidth("/data" + name, metrics, 120, DT_PATH_ELLIPSIS);
    EXPECT_TRUE(shown.startsWith(".../xxx")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("...")) << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown), 120);
    // Without an ellipsis flag nothing is shortened.
    EXPECT_EQ(tavrel::shortenToWidth("/data" + name, metrics, 120, 0), "/data" + name);
}

TEST(PathLabel, ALongPathKeepsItsBeginningAndFileNameAroundAnEllipsis) {
    tavrel::PathLabel label;
    const QFontMetrics metrics(label.font());
    const QString path = "/home/ann/projects/liver/2024/parameter sets/Liver digest, 10 ppm.par";
    const int full = metrics.horizontalAdvance(path);
    EXPECT_EQ(tavrel::shortenToWidth(path, metrics, full, DT_PATH_ELLIPSIS), path);

    const QString fitted = tavrel::shortenToWidth(path, metrics, full / 2, DT_PATH_ELLIPSIS);
    EXPECT_TRUE(fitted.startsWith("/home")) << fitted.toStdString();
    EXPECT_TRUE(fitted.endsWith(".../Liver digest, 10 ppm.par")) << fitted.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(fitted), full / 2);

    label.show();
    label.resize(full * 2, 20);
    label.setPath(path);
    EXPECT_EQ(label.text(), path);
    EXPECT_TRUE(label.toolTip().isEmpty());
    label.resize(full / 2, 20);  // fitted again when the window shrinks
    EXPECT_NE(label.text(), path);
    EXPECT_EQ(label.toolTip(), path);

    // The module procedure on such a label keeps it fitted too.
    label.resize(full * 2, 20);
    const QString other = "/srv/sets/other/much/longer/folder/names/for/the/second/set/Plasma.par";
    const QString shown = tavrel::modGlobal_FitPathToLabel(&label, other, DT_PATH_ELLIPSIS);
    EXPECT_EQ(shown, label.text());
    EXPECT_EQ(label.property("Tag").toString(), other);
    label.resize(full / 3, 20);
    EXPECT_TRUE(label.text().endsWith(".../Plasma.par")) << label.text().toStdString();
    EXPECT_EQ(label.toolTip(), other);
}
