#include "client/ClientApplication.h"

#include "clientcommon/HandlerGuard.h"

namespace tavrel {

ClientApplication::ClientApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ClientApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        errors_.show(unexpectedErrorText(QStringLiteral("Tavrel"), std::current_exception()));
        return false;
    }
}

}  // namespace tavrel
