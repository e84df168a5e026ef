#pragma once
// "Sorvex Tavrel: Select Modifications": moves names between the offered
// modifications and the set's fixed and variable ones. OK refuses a name
// the parameter file cannot hold; the caller takes the lists only when the
// dialog was accepted.
#include "params/ModificationsModel.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace tavrel {

class frmModifications : public QDialog {
    Q_OBJECT
public:
    frmModifications(const QStringList& fixed, const QStringList& variable, const QString& serverData,
                     QWidget* parent = nullptr);

    QStringList fixedMods() const { return model_.lstFixedMods; }
    QStringList variableMods() const { return model_.lstVariableMods; }

    QListWidget* lstAllMods;
    QListWidget* lstFixedMods;
    QListWidget* lstVariableMods;
    QPushButton* cmdAll2Fixed;
    QPushButton* cmdFixed2All;
    QPushButton* cmdAll2Variable;
    QPushButton* cmdVariable2All;
    QCheckBox* chkShowAllMods;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    void Form_Load();
    void chkShowAllMods_Click();
    void cmdOK_Click();
    void move(QListWidget* from, QStringList& source, QStringList& target);
    void showLists();

    ModificationsModel model_;
};

}  // namespace tavrel
