#include "common/EventMessage.h"

#include "platform/MessageBox.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Recorder : platform::MessageBoxHandler {
    QString text, title;
    int show(const QString& t, int, const QString& ti) override {
        text = t;
        title = ti;
        return platform::vbOK;
    }
};

}  // namespace

TEST(EventMessage, LinesDependOnTaskAndFile) {
    QStringList plain = tavrel::formatEventMessage(0, "", "", "msg").split("\r\n");
    ASSERT_EQ(plain.size(), 2);
    EXPECT_EQ(plain[1], "msg");

    QStringList full = tavrel::formatEventMessage(7, "label", "/d/f.raw", "msg").split("\r\n");
    ASSERT_EQ(full.size(), 4);
    EXPECT_EQ(full[1], "Task:7 label");
    EXPECT_EQ(full[2], "/d/f.raw");
    EXPECT_EQ(full[3], "msg");
}

TEST(EventMessage, WriteEventLogShowsTheBox) {
    Recorder recorder;
    auto* previous = platform::setMessageBoxHandler(&recorder);
    tavrel::modGlobal_WriteEventLog(2, 0, "", "", "(TVC1000) 5: boom");
    platform::setMessageBoxHandler(previous);
    EXPECT_EQ(recorder.title, "Sorvex Tavrel");
    EXPECT_TRUE(recorder.text.endsWith("(TVC1000) 5: boom"));
}
