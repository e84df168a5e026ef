#include "clientcommon/forms/WindowIcons.h"

#include <QDialog>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
QIcon redIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::red);
    return QIcon(pm);
}
}  // namespace

TEST(WindowIcons, WindowAndLastOwnerGetTheIcon) {
    QWidget mainWindow;
    QDialog middle(&mainWindow);
    QDialog dialog(&middle);
    QWidget* child = new QWidget(&dialog);

    common::modGlobal_SetWindowIcons(child, redIcon(), true);
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_FALSE(mainWindow.windowIcon().availableSizes().isEmpty());

    QWidget other;
    QDialog own(&other);
    common::modGlobal_SetWindowIcons(&own, redIcon(), false);
    EXPECT_FALSE(own.windowIcon().availableSizes().isEmpty());
    EXPECT_TRUE(other.windowIcon().availableSizes().isEmpty());
}

TEST(WindowIcons, MissingResourceOrWindowChangesNothing) {
    QWidget w;
    common::modGlobal_SetWindowIcons(&w, QStringLiteral("NoSuchIcon"), true);
    EXPECT_TRUE(w.windowIcon().availableSizes().isEmpty());
    common::modGlobal_SetWindowIcons(nullptr, redIcon(), true);  // must not crash
}
