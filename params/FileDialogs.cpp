#include "params/FileDialogs.h"

#include <QFileInfo>

#include <cstdio>

namespace tavrel {

namespace {

FileDialogHandler* currentHandler = nullptr;

const QString kParameterFilter = QStringLiteral("Parameter Files (*.par)|*.par");

QString showAndRemember(const FileDialogRequest& request, QString& folder) {
    if (!currentHandler) {
        std::fprintf(stderr, "No file dialog available: answered as cancelled\n");
        return {};
    }
    const QString chosen = currentHandler->show(request);
    if (!chosen.isEmpty()) folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

}  // namespace

FileDialogHandler* setFileDialogHandler(FileDialogHandler* handler) {
    return std::exchange(currentHandler, handler);
}

QString modGlobal_ShowSaveAsDialog(const QString& currentFile) {
    return showAndRemember(FileDialogRequest{true, kParameterFilter, QStringLiteral("par"), currentFile, ParamDialogFolder},
                           ParamDialogFolder);
}

QString modGlobal_ShowParameterFileOpenDialog() {
    return showAndRemember(FileDialogRequest{false, kParameterFilter, QStringLiteral("par"), QString(), ParamDialogFolder},
                           ParamDialogFolder);
}

QString modGlobal_ShowTemplateOpenDialog() {
    return showAndRemember(FileDialogRequest{false, QStringLiteral("Template Files (*.tpl)|*.tpl"),
                                             QStringLiteral("tpl"), QString(), TemplateDialogFolder},
                           TemplateDialogFolder);
}

}  // namespace tavrel
