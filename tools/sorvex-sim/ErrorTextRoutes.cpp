// ms-geterror.exe?N: the server's text for a message number.
#include "Routes.h"

namespace sorvexsim {

SimReply errorTextRoute(SimState&, const Scenario& s, const SimRequest& r) {
    static const QMap<int, QString> defaults = {
        {1, "Out of memory"},
        {2, "Unable to open the parameter file"},
        {3, "Search aborted by the user"},
        {4, "Database not found"},
        {50, "No peaks found in the peak list"},
    };
    bool ok = false;
    const int n = r.query.trimmed().toInt(&ok);
    QString text = QStringLiteral("Message number no longer used");
    if (ok) text = s.errorMessages.value(n, defaults.value(n, text));
    return SimReply{200, textLines(s, {text}), "text/plain", {}};
}

}  // namespace sorvexsim
