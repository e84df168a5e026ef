#include "client/DataLinkDialog.h"

#include "common/FileDialogs.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tavrel {

namespace {
QString q(const QString& v) { return platform::OleDbConnectionString::quoteValue(v); }
}  // namespace

QString sqliteConnectionString(const QString& file) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + q(file) +
           QStringLiteral(";Mode=Read|Write|Share Deny None;Persist Security Info=False");
}

QString postgresConnectionString(const QString& hostAndPort, const QString& database, const QString& user,
                                 const QString& password) {
    return QStringLiteral("Provider=PostgreSQL;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4")
        .arg(q(hostAndPort), q(database), q(user), q(password));
}

QString promptForConnection(QWidget* owner, const QString& current) {
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("frmDataLink"));
    dialog.setWindowTitle(QStringLiteral("Sorvex Tavrel: Task database"));
    auto* engine = new QComboBox(&dialog);
    engine->setObjectName(QStringLiteral("cboEngine"));
    engine->addItems({QStringLiteral("Database file on this computer"), QStringLiteral("PostgreSQL server")});
    auto* pages = new QStackedWidget(&dialog);

    auto* filePage = new QWidget;
    auto* fileForm = new QFormLayout(filePage);
    auto* file = new QLineEdit(filePage);
    file->setObjectName(QStringLiteral("txtFile"));
    auto* browse = new QPushButton(QStringLiteral("Browse ..."), filePage);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file, 1);
    fileRow->addWidget(browse);
    fileForm->addRow(QStringLiteral("Database file"), fileRow);
    pages->addWidget(filePage);

    auto* serverPage = new QWidget;
    auto* serverForm = new QFormLayout(serverPage);
    auto* host = new QLineEdit(serverPage);
    auto* database = new QLineEdit(serverPage);
    auto* user = new QLineEdit(serverPage);
    auto* password = new QLineEdit(serverPage);
    host->setObjectName(QStringLiteral("txtHost"));
    database->setObjectName(QStringLiteral("txtDatabase"));
    user->setObjectName(QStringLiteral("txtUser"));
    password->setObjectName(QStringLiteral("txtPassword"));
    password->setEchoMode(QLineEdit::Password);
    host->setPlaceholderText(QStringLiteral("host or host:port"));
    serverForm->addRow(QStringLiteral("Server"), host);
    serverForm->addRow(QStringLiteral("Database"), database);
    serverForm->addRow(QStringLiteral("User name"), user);
    serverForm->addRow(QStringLiteral("Password"), password);
    pages->addWidget(serverPage);

    try {
        const auto cs = platform::OleDbConnectionString::parse(current);
        if (cs.provider().compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0) {
            engine->setCurrentIndex(1);
            host->setText(cs.dataSource());
            database->setText(cs.value(QStringLiteral("Initial Catalog")));
            user->setText(cs.value(QStringLiteral("User ID")));
            password->setText(cs.value(QStringLiteral("Password")));
        } else {
            file->setText(cs.dataSource());
        }
    } catch (const platform::Error&) {
        // An unreadable string starts the dialog empty.
    }
    pages->setCurrentIndex(engine->currentIndex());
    QObject::connect(engine, &QComboBox::currentIndexChanged, pages, &QStackedWidget::setCurrentIndex);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        FileDialogRequest request;
        request.owner = &dialog;
        request.title = QStringLiteral("Task database file");
        request.fileName = file->text();
        request.filter = QStringLiteral("Task databases (*.mdb);;All files (*)");
        request.defaultSuffix = QStringLiteral("mdb");
        const QString chosen = showSaveFileDialog(request);
        if (!chosen.isEmpty()) file->setText(chosen);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(engine);
    layout->addWidget(pages);
    layout->addWidget(buttons);
    dialog.setMinimumWidth(420);
    if (dialog.exec() != QDialog::Accepted) return QString();
    if (engine->currentIndex() == 0)
        return file->text().trimmed().isEmpty() ? QString() : sqliteConnectionString(file->text().trimmed());
    if (host->text().trimmed().isEmpty() || database->text().trimmed().isEmpty()) return QString();
    return postgresConnectionString(host->text().trimmed(), database->text().trimmed(), user->text().trimmed(),
                                    password->text());
}

}  // namespace tavrel
