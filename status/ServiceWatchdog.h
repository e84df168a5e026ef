#pragma once
// The end of every refresh: the service is woken so that it reads the task
// table at once, and when it cannot be reached the user is offered to start
// it again (as a Windows service, or as the tray program when it ran in the tray).
#include <QString>

#include <functional>

namespace tavrel {

class ServiceWatchdog {
public:
    ServiceWatchdog();

    // Wakes the service; on failure asks "Sorvex Tavrel Service is not
    // running. Try to start it?" until it answers or the user says No.
    void run();

    // Seams for tests: the pause after a start (default: 5 seconds, serving
    // events) and the tray program (default: TavrelService beside this program).
    std::function<void(int seconds)> wait;
    QString trayProgram;

private:
    bool startTrayProgram();
    bool startWindowsService();
};

}  // namespace tavrel
