#include "client/DataLinkDialog.h"

#include "clientcommon/FileDialogs.h"
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

struct ConnectionFields {
    QString file, host, database, user, password;
};

// Each key of a field the user changed, with its new value.
QList<std::pair<QString, QString>> changedKeys(int engine, const ConnectionFields& now, const ConnectionFields& before) {
    QList<std::pair<QString, QString>> keys;
    const auto add = [&keys](const char* key, const QString& value, const QString& old) {
        if (value != old) keys.append({QString::fromLatin1(key), value});
    };
    if (engine == 0) {
        add("Data Source", now.file.trimmed(), before.file.trimmed());
    } else {
        add("Data Source", now.host.trimmed(), before.host.trimmed());
        add("Initial Catalog", now.database.trimmed(), before.database.trimmed());
        add("User ID", now.user.trimmed(), before.user.trimmed());
        add("Password", now.password, before.password);
    }
    return keys;
}

// The string the dialog answers: the string it was given with the changed
// fields written into it when it was of the same kind, else a new one.
QString connectionFromFields(int engine, const ConnectionFields& now, const QString& current,
                             const ConnectionFields& before) {
    if (engine == 0 ? now.file.trimmed().isEmpty() : now.host.trimmed().isEmpty() || now.database.trimmed().isEmpty())
        return QString();
    if (!current.isEmpty()) {
        try {
            return platform::OleDbConnectionString::withValues(current, changedKeys(engine, now, before));
        } catch (const platform::Error&) {
            // Not readable after all: a new string from the fields.
        }
    }
    if (engine == 0) return sqliteConnectionString(now.file.trimmed());
    return postgresConnectionString(now.host.trimmed(), now.database.trimmed(), now.user.trimmed(), now.password);
}

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

    // What the string held, to tell what the user changed: every other key of
    // it (sslmode, sslrootcert, connect_timeout ...) is kept as it was written.
    int readEngine = -1;
    try {
        const auto cs = platform::OleDbConnectionString::parse(current);
        if (cs.provider().compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0) {
            readEngine = 1;
            host->setText(cs.dataSource());
            database->setText(cs.value(QStringLiteral("Initial Catalog")));
            user->setText(cs.value(QStringLiteral("User ID")));
            password->setText(cs.value(QStringLiteral("Password")));
        } else {
            readEngine = 0;
            file->setText(cs.dataSource());
        }
        engine->setCurrentIndex(readEngine);
    } catch (const platform::Error&) {
        // An unreadable string starts the dialog empty.
    }
    const ConnectionFields shown{file->text(), host->text(), database->text(), user->text(), password->text()};
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
    const ConnectionFields chosen{file->text(), host->text(), database->text(), user->text(), password->text()};
    return connectionFromFields(engine->currentIndex(), chosen, readEngine == engine->currentIndex() ? current : QString(),
                                shown);
}

}  // namespace tavrel
