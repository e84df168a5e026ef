#include "tools/standins/Standins.h"

#include "tools/standins/QuellmarkObjects.h"

namespace standins {

namespace {

class ScopeRegistrar final : public platform::AutomationRegistrar {
public:
    explicit ScopeRegistrar(std::vector<std::unique_ptr<platform::ScopedAutomationComponent>>& scopes)
        : scopes_(scopes) {}
    void add(const QString& progId, platform::AutomationCreator creator) override {
        scopes_.push_back(std::make_unique<platform::ScopedAutomationComponent>(progId, std::move(creator)));
    }

private:
    std::vector<std::unique_ptr<platform::ScopedAutomationComponent>>& scopes_;
};

}  // namespace

void registerStandins(platform::AutomationRegistrar& registrar) {
    registerWiffStandins(registrar);
    registerDataExplorerStandin(registrar);
    registerTS2SorvexStandin(registrar);
    registerQuellmarkStandins(registrar);
}

void registerQuellmarkStandins(platform::AutomationRegistrar& registrar) {
    registerQuellmarkDataStandins(registrar);
    registerQuellmarkProjectStandins(registrar);
}

ScopedStandins::ScopedStandins() {
    ScopeRegistrar registrar(scopes_);
    registerStandins(registrar);
}

ScopedStandins::~ScopedStandins() {
    // Put back in the reverse order, so what was there before returns.
    while (!scopes_.empty()) scopes_.pop_back();
}

}  // namespace standins
