// The processing-options file of the Quellmark tab: choosing one, editing its
// settings in the library's sheet, and saving the edited settings to a file.
#include "filteropts/forms/OptionsQuellmarkTab.h"

#include "clientcommon/BusyCursor.h"
#include "clientcommon/FileDialogs.h"
#include "clientcommon/forms/TabStripDisabled.h"
#include "platform/MessageBox.h"

#include <QFileInfo>

namespace filteropts {

namespace {

// Open and Save As ask alike: the processing-options files, in a folder.
tavrel::FileDialogRequest optionsFileRequest(QWidget* owner, const QString& fileName, const QString& folder) {
    tavrel::FileDialogRequest request;
    request.owner = owner;
    request.filter = QStringLiteral("Sorvex Quellmark processing options (*.opt)|*.opt");
    request.defaultSuffix = QStringLiteral("opt");
    request.fileName = fileName;
    request.startFolder = folder;
    return request;
}

}  // namespace

void OptionsQuellmarkTab::txtQuellmarkOptionsPath_Change() {
    optionsFile_.drop();
    const bool exists = QFileInfo(txtQuellmarkOptionsPath->text()).isFile();
    cmdEditQuellmarkOptions->setEnabled(exists);
    cmdSaveQuellmarkOptions->setEnabled(exists);
}

void OptionsQuellmarkTab::cmdQuellmarkOptionsPath_Click() {
    QString* remembered = context().quellmarkFolder;
    const auto request = optionsFileRequest(window(), QString(), remembered ? *remembered : QString());
    const tavrel::TabStripDisabled lock(context().tabMain);
    const QString chosen = tavrel::showOpenFileDialog(request);
    if (chosen.isEmpty()) return;
    txtQuellmarkOptionsPath->setText(chosen);
    if (remembered) *remembered = QFileInfo(chosen).absolutePath();
}

void OptionsQuellmarkTab::cmdEditQuellmarkOptions_Click() {
    if (!libraryPresent()) return;
    const QString path = txtQuellmarkOptionsPath->text();
    if (!QFileInfo(path).isFile()) {
        platform::MsgBox(QStringLiteral("No such file as ") + path);
        return;
    }
    // An object that failed to load would carry the library's defaults, which
    // a later Save As would write over the user's settings: stop here instead.
    if (const auto failed = optionsFile_.load(path)) {
        platform::MsgBox(QStringLiteral("Cannot load the processing options file ") + path + QStringLiteral(": ") +
                             failed->description(),
                         platform::vbExclamation);
        return;
    }
    optionsFile_.showSheet(QFileInfo(path).fileName());
    platform::MsgBox(QStringLiteral("IMPORTANT: Any changes you made will now be discarded unless you choose Save As "
                                    "...\r\n(Even if you have already pressed Apply in the last dialog)"));
}

void OptionsQuellmarkTab::cmdSaveQuellmarkOptions_Click() {
    if (!libraryPresent() || !optionsFile_.isHeld()) return;
    const QFileInfo current(txtQuellmarkOptionsPath->text());
    const QString chosen =
        tavrel::showSaveFileDialog(optionsFileRequest(window(), current.fileName(), current.absolutePath()));
    if (chosen.isEmpty()) return;
    if (QString* remembered = context().quellmarkFolder) *remembered = QFileInfo(chosen).absolutePath();
    if (QFileInfo::exists(chosen) &&
        platform::MsgBox(chosen + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
                         platform::vbYesNo | platform::vbQuestion) != platform::vbYes)
        return;
    std::optional<platform::Error> failed;
    {
        const tavrel::BusyCursor busy;
        failed = optionsFile_.saveTo(chosen);
    }
    if (failed) {
        // The field keeps its file, and the edits stay held for another try.
        platform::MsgBox(QStringLiteral("Cannot save the processing options to ") + chosen + QStringLiteral(": ") +
                             failed->description(),
                         platform::vbExclamation);
        return;
    }
    txtQuellmarkOptionsPath->setText(chosen);
}

}  // namespace filteropts
