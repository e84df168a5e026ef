#pragma once
// A shown parameter-editor page over a private program folder, with
// scripted message boxes and file dialogs.
#include "params/FileDialogs.h"
#include "params/forms/ParameterEditorPage.h"
#include "params/forms/tests/ScriptedUi.h"
#include "params/tests/EditorFixture.h"

#include <QApplication>
#include <QTimer>

namespace testsupport {

class PageTest : public ::testing::Test {
protected:
    EditorHome home;
    ScriptedUi ui;
    tavrel::ParameterEditorPage page{home.environment()};

    void SetUp() override {
        tavrel::ParamDialogFolder = home.path();
        page.resize(1000, 640);
        page.show();
        ASSERT_TRUE(page.NewParameterForm());
    }

    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = home.file(name);
        writeFile(path, bytes);
        return path;
    }

    // Runs steps inside the next modal dialog once it is open.
    template <typename Dialog, typename F>
    static void inNextDialog(F steps) {
        QTimer::singleShot(0, [steps] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            steps(*dialog);
        });
    }
};

}  // namespace testsupport
