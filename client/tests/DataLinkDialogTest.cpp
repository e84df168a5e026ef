// "Change ..." of the database page: what the user leaves alone stays as it
// was written (TLS keys above all), what the user changes is all that changes.
#include "client/DataLinkDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

struct Edit {
    const char* field;  // object name of the dialog's control
    QString text;       // its new text; for "cboEngine" the index
};

// Opens the dialog on the string, makes the edits and presses OK.
QString throughTheDialog(const QString& current, const QList<Edit>& edits) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        for (const Edit& e : edits) {
            if (auto* engine = dialog->findChild<QComboBox*>(e.field)) {
                engine->setCurrentIndex(e.text.toInt());
                continue;
            }
            auto* field = dialog->findChild<QLineEdit*>(e.field);
            ASSERT_TRUE(field) << e.field;
            field->setText(e.text);
        }
        dialog->accept();
    });
    return promptForConnection(nullptr, current);
}

}  // namespace

TEST(DataLinkDialog, KeepsEveryKeyItDoesNotShowAndChangesOnlyWhatTheUserChanged) {
    const QString tls = "Provider=PostgreSQL;Data Source=db.lab.example:5432;Initial Catalog=tavrel;User ID=tavrel;"
                        "Password=choose-a-password;sslmode=verify-full;sslrootcert=/etc/ssl/certs/lab-ca.pem";
    const QString quoted = "Provider=PostgreSQL; Data Source = db.lab ;Initial Catalog=tavrel;User ID=lab;"
                           "Password=\"p;w\"\"d\";sslmode=verify-ca;sslrootcert='/etc/ssl/lab ca.pem';"
                           "sslcert=/home/lab/.postgresql/lab.crt;connect_timeout=10;application_name=\"Tavrel lab\"";
    const QString jet = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/var/lib/tavrel/TaskDB.mdb;"
                        "Mode=Read|Write|Share Deny None;Persist Security Info=False";
    struct Case {
        const char* name;
        QString current;
        QList<Edit> edits;
        QString expected;
    } cases[] = {
        {"TLS kept on OK", tls, {}, tls},
        {"quoted values and blanks kept on OK", quoted, {}, quoted},
        {"a new password, TLS kept", tls, {{"txtPassword", "n3w;pw"}},
         "Provider=PostgreSQL;Data Source=db.lab.example:5432;Initial Catalog=tavrel;User ID=tavrel;"
         "Password=\"n3w;pw\";sslmode=verify-full;sslrootcert=/etc/ssl/certs/lab-ca.pem"},
        {"a new server among quoted keys", quoted, {{"txtHost", "db2.lab:6432"}},
         "Provider=PostgreSQL; Data Source = db2.lab:6432 ;Initial Catalog=tavrel;User ID=lab;"
         "Password=\"p;w\"\"d\";sslmode=verify-ca;sslrootcert='/etc/ssl/lab ca.pem';"
         "sslcert=/home/lab/.postgresql/lab.crt;connect_timeout=10;application_name=\"Tavrel lab\""},
        {"keys as the string spells them", "provider=postgresql;data source=h;initial catalog=d;user id=u;SSLMode=require",
         {{"txtUser", "v"}}, "provider=postgresql;data source=h;initial catalog=d;user id=v;SSLMode=require"},
        {"a key the string lacked goes last", "Provider=PostgreSQL;Data Source=h;Initial Catalog=d;sslmode=require;",
         {{"txtUser", "lab"}, {"txtPassword", "pw"}},
         "Provider=PostgreSQL;Data Source=h;Initial Catalog=d;sslmode=require;User ID=lab;Password=pw"},
        {"a password cleared", tls, {{"txtPassword", ""}},
         "Provider=PostgreSQL;Data Source=db.lab.example:5432;Initial Catalog=tavrel;User ID=tavrel;"
         "Password=;sslmode=verify-full;sslrootcert=/etc/ssl/certs/lab-ca.pem"},
        {"a database file kept on OK", jet, {}, jet},
        {"another database file", jet, {{"txtFile", "/srv/lab tasks.mdb"}},
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/srv/lab tasks.mdb;Mode=Read|Write|Share Deny None;"
         "Persist Security Info=False"},
        {"another kind of database is a new string", tls, {{"cboEngine", "0"}, {"txtFile", "/srv/t.mdb"}},
         sqliteConnectionString("/srv/t.mdb")},
        {"an unreadable string gives a new one", "Provider=PostgreSQL;Data Source='open",
         {{"cboEngine", "1"}, {"txtHost", "h"}, {"txtDatabase", "d"}}, postgresConnectionString("h", "d", "", "")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(throughTheDialog(c.current, c.edits), c.expected);
    }
}
