#include "clientcommon/FileDialogs.h"

#include <cstdio>
#include <utility>

namespace tavrel {

namespace {

DialogHandler* currentHandler = nullptr;

QString cancelled() {
    std::fprintf(stderr, "No file dialog available: answered as cancelled\n");
    return {};
}

}  // namespace

DialogHandler* setDialogHandler(DialogHandler* handler) { return std::exchange(currentHandler, handler); }

QString showOpenFileDialog(const FileDialogRequest& request) {
    return currentHandler ? currentHandler->openFile(request) : cancelled();
}

QStringList showOpenFilesDialog(const FileDialogRequest& request) {
    if (currentHandler) return currentHandler->openFiles(request);
    cancelled();
    return {};
}

QString showSaveFileDialog(const FileDialogRequest& request) {
    return currentHandler ? currentHandler->saveFile(request) : cancelled();
}

QString showFolderDialog(QWidget* owner, const QString& title, const QString& startFolder) {
    return currentHandler ? currentHandler->chooseFolder(owner, title, startFolder) : cancelled();
}

}  // namespace tavrel
