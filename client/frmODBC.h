#pragma once
// The connection information dialog: the properties of the task-database
// connection in a list.
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace tavrel {

class frmODBC : public QDialog {
    Q_OBJECT
public:
    explicit frmODBC(QWidget* parent = nullptr);
    void frmODBC_Form_Load();
    void frmODBC_cmdOK_Click() { accept(); }

    QLabel* Label1;
    QListWidget* lstODBC;
    QPushButton* cmdOK;
};

}  // namespace tavrel
