#include "params/EditorMessage.h"

namespace tavrel {

int showEditorMessage(const EditorMessage& message) { return platform::MsgBox(message.text, message.style); }

EditorMessage saveChangesQuestion(const QString& currentFile) {
    return EditorMessage{QStringLiteral("The contents of [") + currentFile +
                             QStringLiteral("] have changed.\r\nDo you want to save the changes?"),
                         platform::vbYesNoCancel};
}

EditorMessage overwriteQuestion(const QString& path) {
    return EditorMessage{path + QStringLiteral(" already exists, OK to overwrite?"), platform::vbOKCancel};
}

}  // namespace tavrel
