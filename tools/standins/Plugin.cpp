// The stand-ins as an automation plug-in for the programs. Each object a
// program makes is recorded ("create" and its ProgID), so that a test
// watching another program sees which components it asked for.
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

namespace {

class RecordingRegistrar final : public platform::AutomationRegistrar {
public:
    explicit RecordingRegistrar(platform::AutomationRegistrar& next) : next_(next) {}
    void add(const QString& progId, platform::AutomationCreator creator) override {
        next_.add(progId, [progId, creator = std::move(creator)] {
            standins::record(QStringLiteral("create"), {progId});
            return creator();
        });
    }

private:
    platform::AutomationRegistrar& next_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) void tavrelRegisterAutomation(platform::AutomationRegistrar& registrar) {
    RecordingRegistrar recording(registrar);
    standins::registerStandins(recording);
}
