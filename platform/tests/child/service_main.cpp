// A stand-in service for the service control tests:
//   tavrel-test-service NAME [-service]
// answers as the service NAME of the program folder, appends each control code
// it is handed to "controls.log" there and ends after a stop. It also ends by
// itself after a minute, so a failed test leaves nothing running.
#include "platform/ProgramFolder.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceControlListener.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) return 2;

    platform::ServiceControlListener listener(args[1]);
    listener.setControlHandler([&](quint32 control) {
        QFile log(platform::resolveProgramFolder() + QStringLiteral("/controls.log"));
        if (log.open(QIODevice::Append)) log.write(QByteArray::number(control) + '\n');
        if (control == platform::SERVICE_CONTROL_STOP)
            QTimer::singleShot(0, &app, [&] {
                listener.close();
                app.quit();
            });
    });
    QString error;
    if (!listener.listen(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 3;
    }
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
