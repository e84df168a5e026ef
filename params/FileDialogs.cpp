#include "params/FileDialogs.h"

#include "clientcommon/FileDialogs.h"

#include <QFileInfo>

namespace tavrel {

namespace {

const QString kParameterFilter = QStringLiteral("Parameter Files (*.par)|*.par");

FileDialogRequest request(const QString& filter, const QString& defaultSuffix, const QString& fileName,
                          const QString& startFolder) {
    FileDialogRequest r;
    r.filter = filter;
    r.defaultSuffix = defaultSuffix;
    r.fileName = fileName;
    r.startFolder = startFolder;
    return r;
}

QString remember(const QString& chosen, QString& folder) {
    if (!chosen.isEmpty()) folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

}  // namespace

QString modGlobal_ShowSaveAsDialog(const QString& currentFile) {
    // A new name is accepted, and the writer asks about replacing a file.
    return remember(showSaveFileDialog(request(kParameterFilter, QStringLiteral("par"), currentFile, ParamDialogFolder)),
                    ParamDialogFolder);
}

QString modGlobal_ShowParameterFileOpenDialog() {
    return remember(showOpenFileDialog(request(kParameterFilter, QStringLiteral("par"), QString(), ParamDialogFolder)),
                    ParamDialogFolder);
}

QString modGlobal_ShowTemplateOpenDialog() {
    return remember(showOpenFileDialog(request(QStringLiteral("Template Files (*.tpl)|*.tpl"), QStringLiteral("tpl"),
                                               QString(), TemplateDialogFolder)),
                    TemplateDialogFolder);
}

}  // namespace tavrel
