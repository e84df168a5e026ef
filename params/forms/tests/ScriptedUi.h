#pragma once
// Message boxes and file dialogs that answer from a script and remember
// what they were asked, installed for the life of the object.
#include "clientcommon/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

// A file dialog as it was asked for.
struct AskedDialog : tavrel::FileDialogRequest {
    bool save = false;  // a save dialog, else an open one
};

class ScriptedUi : public platform::MessageBoxHandler, public tavrel::DialogHandler {
public:
    ScriptedUi() : previousBox_(platform::setMessageBoxHandler(this)), previousDialog_(tavrel::setDialogHandler(this)) {}
    ~ScriptedUi() override {
        platform::setMessageBoxHandler(previousBox_);
        tavrel::setDialogHandler(previousDialog_);
    }

    // Answers for the questions (boxes other than OK-only), in order.
    QList<int> answers;
    // Paths the file dialogs answer with, in order; "" cancels.
    QStringList paths;

    QStringList boxes;  // every text shown
    QList<AskedDialog> dialogs;

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

    QString openFile(const tavrel::FileDialogRequest& request) override { return answer(request, false); }
    QString saveFile(const tavrel::FileDialogRequest& request) override { return answer(request, true); }
    QString chooseFolder(QWidget*, const QString&, const QString&) override {
        ADD_FAILURE() << "unexpected folder dialog";
        return {};
    }

    QStringList takeBoxes() { return std::exchange(boxes, {}); }

private:
    QString answer(const tavrel::FileDialogRequest& request, bool save) {
        AskedDialog asked;
        static_cast<tavrel::FileDialogRequest&>(asked) = request;
        asked.save = save;
        dialogs << asked;
        if (paths.isEmpty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return {};
        }
        return paths.takeFirst();
    }

    platform::MessageBoxHandler* previousBox_;
    tavrel::DialogHandler* previousDialog_;
};

}  // namespace testsupport
