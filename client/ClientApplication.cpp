#include "client/ClientApplication.h"

#include "common/HandlerGuard.h"

namespace tavrel {

ClientApplication::ClientApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ClientApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    const bool ok = guardHandler(QStringLiteral("Tavrel"), [&] { handled = QApplication::notify(receiver, event); });
    return ok && handled;
}

}  // namespace tavrel
