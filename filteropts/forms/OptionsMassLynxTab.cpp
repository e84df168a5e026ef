#include "filteropts/forms/OptionsMassLynxTab.h"

#include "clientcommon/HandlerGuard.h"
#include "common/UncName.h"
#include "clientcommon/forms/FolderBrowser.h"
#include "clientcommon/forms/TabStripDisabled.h"
#include "filteropts/forms/OptionsControls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace filteropts {

OptionsMassLynxTab::OptionsMassLynxTab(const OptionsDialogContext& context, QWidget* parent)
    : OptionsTab(kMassLynx, context, parent) {
    auto* label = newLabel(QStringLiteral("Path to .PKL file folder"), this);
    txtPklPath = newLineEdit("txtPklPath", this);
    label->setBuddy(txtPklPath);
    cmdPklPathBrowse = newButton("cmdPklPathBrowse", QStringLiteral("Browse ..."), this);
    auto* row = new QHBoxLayout;
    row->addWidget(txtPklPath, 1);
    row->addWidget(cmdPklPathBrowse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addStretch();
    tavrel::connectGuarded(cmdPklPathBrowse, &QPushButton::clicked, this, QStringLiteral("cmdPklPathBrowse_Click"),
                           &OptionsMassLynxTab::cmdPklPathBrowse_Click);
}

void OptionsMassLynxTab::loadFields(const OptionReading& r) {
    txtPklPath->setText(common::modUncName_GetLocalPathFromUnc(r.fields[0]));
}

QStringList OptionsMassLynxTab::fields() const { return {common::modUncName_GetUncPath(txtPklPath->text())}; }

void OptionsMassLynxTab::cmdPklPathBrowse_Click() {
    const tavrel::TabStripDisabled lock(context().tabMain);
    const QString start = txtPklPath->text().isEmpty() ? context().programFolder : txtPklPath->text();
    const QString folder =
        tavrel::modGetDirectory_BrowseForFolder(window(), QStringLiteral("Select folder containing .PKL files"), start);
    if (!folder.isEmpty()) txtPklPath->setText(folder);
}

}  // namespace filteropts
