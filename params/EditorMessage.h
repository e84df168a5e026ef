#pragma once
// What the parameter editor has to tell or ask the user, as data: the forms
// show each one with showEditorMessage; tests read them.
#include "platform/MessageBox.h"

#include <QList>
#include <QString>

namespace tavrel {

struct EditorMessage {
    QString text;
    int style = platform::vbOKOnly;  // the buttons
    bool operator==(const EditorMessage&) const = default;
};

using EditorMessages = QList<EditorMessage>;

// Shows the message in the client's message box ("Sorvex Tavrel") and
// answers the button chosen.
int showEditorMessage(const EditorMessage& message);

// The questions of the file commands.
EditorMessage saveChangesQuestion(const QString& currentFile);  // Yes, No, Cancel
EditorMessage overwriteQuestion(const QString& path);           // OK, Cancel

}  // namespace tavrel
