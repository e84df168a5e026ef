// The stand-ins as an automation plug-in for the programs.
#include "tools/standins/Standins.h"

extern "C" __attribute__((visibility("default"))) void tavrelRegisterAutomation(platform::AutomationRegistrar& registrar) {
    standins::registerStandins(registrar);
}
