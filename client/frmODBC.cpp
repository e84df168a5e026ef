#include "client/frmODBC.h"

#include "client/CentreOnScreen.h"
#include "client/HelpContext.h"
#include "clientcommon/forms/FormLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

frmODBC::frmODBC(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmODBC"));
    Label1 = new QLabel(QStringLiteral("Current ODBC connection information"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lstODBC = new QListWidget(this);
    lstODBC->setObjectName(QStringLiteral("lstODBC"));
    lstODBC->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lstODBC, 1);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, [this] { frmODBC_cmdOK_Click(); });
    setMinimumTwips(this, 5000, 5000);
    resize(520, 360);
    frmODBC_Form_Load();
}

void frmODBC::frmODBC_Form_Load() {
    setWindowTitle(QStringLiteral("Sorvex Tavrel: ODBC"));
    centreOnScreen(this);
    setHelpContextIds(this);
}

}  // namespace tavrel
