#include "params/FileDialogs.h"

#include "clientcommon/FileDialogs.h"

#include <QList>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// A request as the seam saw it, and whether it came as a save dialog.
struct Asked {
    bool save = false;
    FileDialogRequest request;
    bool operator==(const Asked&) const = default;
};

Asked asked(bool save, const QString& filter, const QString& ext, const QString& name, const QString& folder) {
    Asked a{save, {}};
    a.request.filter = filter;
    a.request.defaultSuffix = ext;
    a.request.fileName = name;
    a.request.startFolder = folder;
    return a;
}

class ScriptedDialogs : public DialogHandler {
public:
    QString answer;
    QList<Asked> asked;
    QString openFile(const FileDialogRequest& request) override {
        asked << Asked{false, request};
        return answer;
    }
    QString saveFile(const FileDialogRequest& request) override {
        asked << Asked{true, request};
        return answer;
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override {
        ADD_FAILURE() << "unexpected folder dialog";
        return {};
    }
};

class FileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = setDialogHandler(&dialogs);
        ParamDialogFolder = TemplateDialogFolder = "/prog";
    }
    void TearDown() override { setDialogHandler(previous_); }
    ScriptedDialogs dialogs;

private:
    DialogHandler* previous_ = nullptr;
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
    const QList<Asked> expected = {
        asked(true, parFilter, "par", "Untitled", "/prog"),
        asked(false, parFilter, "par", "", "/sets"),
        asked(false, "Template Files (*.tpl)|*.tpl", "tpl", "", "/prog"),
        asked(false, "Template Files (*.tpl)|*.tpl", "tpl", "", "/tpl"),
    };
    ASSERT_EQ(dialogs.asked.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) EXPECT_TRUE(dialogs.asked[i] == expected[i]) << i;
    EXPECT_EQ(ParamDialogFolder, "/sets");
}
