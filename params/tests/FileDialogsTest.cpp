#include "params/FileDialogs.h"

#include <QList>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class ScriptedDialogs : public FileDialogHandler {
public:
    QString answer;
    QList<FileDialogRequest> asked;
    QString show(const FileDialogRequest& request) override {
        asked << request;
        return answer;
    }
};

class FileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = setFileDialogHandler(&dialogs);
        ParamDialogFolder = TemplateDialogFolder = "/prog";
    }
    void TearDown() override { setFileDialogHandler(previous_); }
    ScriptedDialogs dialogs;

private:
    FileDialogHandler* previous_ = nullptr;
};

}  // namespace

TEST_F(FileDialogsTest, EachKindOfDialogStartsWhereItsKindLastEnded) {
    dialogs.answer = "/sets/run.par";
    EXPECT_EQ(modGlobal_ShowSaveAsDialog("Untitled"), "/sets/run.par");
    dialogs.answer = "";  // cancelled: the folder stays
    EXPECT_EQ(modGlobal_ShowParameterFileOpenDialog(), "");
    dialogs.answer = "/tpl/a.tpl";
    modGlobal_ShowTemplateOpenDialog();
    modGlobal_ShowTemplateOpenDialog();

    const QString parFilter = "Parameter Files (*.par)|*.par";
    const QList<FileDialogRequest> expected = {
        {true, parFilter, "par", "Untitled", "/prog"},
        {false, parFilter, "par", "", "/sets"},
        {false, "Template Files (*.tpl)|*.tpl", "tpl", "", "/prog"},
        {false, "Template Files (*.tpl)|*.tpl", "tpl", "", "/tpl"},
    };
    ASSERT_EQ(dialogs.asked.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) EXPECT_TRUE(dialogs.asked[i] == expected[i]) << i;
    EXPECT_EQ(ParamDialogFolder, "/sets");
}
