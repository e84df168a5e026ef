// "..." beside the parameter file: the parameter editor's own open dialog.
// (A file of its own: that dialog's request type shares a name with the
// client's general dialog seam.)
#include "params/FileDialogs.h"
#include "taskeditor/forms/TaskEditorPage.h"

namespace tavrel {

void TaskEditorPage::cmdTaskParamAdd_Click() {
    const QString path = modGlobal_ShowParameterFileOpenDialog();
    act([&] { editor_.setParameterFile(path); });
}

}  // namespace tavrel
