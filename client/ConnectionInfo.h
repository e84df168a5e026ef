#pragma once
// The lines of the connection information list: the data-access version and
// the properties of the task-database connection, without any user name,
// user id or password.
#include <QStringList>

namespace platform {
class AdoConnection;
}

namespace tavrel {

struct ConnectionInfoLine {
    QString text;
    bool listed = true;  // false: a user name, user id or password; counts only for the list's width
};

// "ADO Version: ..." first, then "name: value" for each property in order.
QList<ConnectionInfoLine> connectionInfoLines(const platform::AdoConnection& connection);

}  // namespace tavrel
