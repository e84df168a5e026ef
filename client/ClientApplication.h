#pragma once
// The client's application object: the last guard. A handler that was not
// wrapped in its own guard still cannot end the program with an error; an
// error that recurs (a failing paint, say) is shown once.
#include "clientcommon/HandlerGuard.h"

#include <QApplication>

namespace tavrel {

class ClientApplication : public QApplication {
public:
    ClientApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    RepeatedErrorBox errors_;
};

}  // namespace tavrel
