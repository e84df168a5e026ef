#pragma once
// Message boxes and file dialogs that answer from a script and remember
// what they were asked, installed for the life of the object.
#include "params/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

class ScriptedUi : public platform::MessageBoxHandler, public tavrel::FileDialogHandler {
public:
    ScriptedUi() : previousBox_(platform::setMessageBoxHandler(this)), previousDialog_(tavrel::setFileDialogHandler(this)) {}
    ~ScriptedUi() override {
        platform::setMessageBoxHandler(previousBox_);
        tavrel::setFileDialogHandler(previousDialog_);
    }

    // Answers for the questions (boxes other than OK-only), in order.
    QList<int> answers;
    // Paths the file dialogs answer with, in order; "" cancels.
    QStringList paths;

    QStringList boxes;  // every text shown
    QList<tavrel::FileDialogRequest> dialogs;

    int show(const QString& text, int style, const QString& title) override {
        EXPECT_EQ(title, "Sorvex Tavrel");
        boxes << text;
        if ((style & 7) == platform::vbOKOnly) return platform::vbOK;
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return platform::vbCancel;
        }
        return answers.takeFirst();
    }

    QString show(const tavrel::FileDialogRequest& request) override {
        dialogs << request;
        if (paths.isEmpty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return {};
        }
        return paths.takeFirst();
    }

    QStringList takeBoxes() { return std::exchange(boxes, {}); }

private:
    platform::MessageBoxHandler* previousBox_;
    tavrel::FileDialogHandler* previousDialog_;
};

}  // namespace testsupport
