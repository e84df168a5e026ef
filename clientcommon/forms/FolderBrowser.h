#pragma once
// The client's one folder chooser: file-system folders only, opened at a start
// folder, with the path of the current selection on a status line.
#include <QFileDialog>
#include <QString>

class QLabel;

namespace tavrel {

class FolderBrowser : public QFileDialog {
    Q_OBJECT
public:
    // An empty or missing start folder opens without a selection.
    FolderBrowser(QWidget* owner, const QString& title, const QString& startFolder);

    QString statusText() const;
    // The selection moved: a folder shows its path; anything without a folder
    // path (an empty entry, a file) leaves the status line as it was.
    void showSelection(const QString& path);

private:
    QLabel* lblStatus_ = nullptr;
};

// The chosen folder's full path, or "" when the user cancels. The dialog is
// modal to the owner and goes through the dialog seam (clientcommon/FileDialogs.h).
QString modGetDirectory_BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder);

}  // namespace tavrel
