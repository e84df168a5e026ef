#pragma once
// The windowed client's file and folder dialogs: the calls of the dialog seam
// end in a modal Qt file dialog, or the folder browser, over the owner.
#include "clientcommon/FileDialogs.h"

#include <QStringList>

namespace tavrel {

class QtDialogHandler : public DialogHandler {
public:
    QString openFile(const FileDialogRequest& request) override;
    QStringList openFiles(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString chooseFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
};

// A request's filter as Qt's name filters: "Parameter Files (*.par)|*.par"
// becomes "Parameter Files (*.par)", a description that names no pattern gets
// it added, and Qt's own "a;;b" form is split as it is.
QStringList qtNameFilters(const QString& filter);

}  // namespace tavrel
