#include "platform/Automation.h"

#include <QHash>

#include <exception>
#include <mutex>

namespace platform {

namespace {

constexpr long kCannotCreateObject = errnum::CannotCreateObject;
constexpr long kAutomationError = 440;

struct Registry {
    std::mutex mutex;
    QHash<QString, AutomationCreator> creators;  // keyed by the upper-cased ProgID
};

Registry& registry() {
    static Registry instance;
    return instance;
}

QString keyOf(const QString& progId) {
    return progId.trimmed().toUpper();
}

Error cannotCreate() {
    return Error(kCannotCreateObject, QStringLiteral("ActiveX component can't create object"));
}

AutomationCreator creatorOf(const QString& progId) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.creators.value(keyOf(progId));
}

}  // namespace

AutomationObject::~AutomationObject() = default;

void registerAutomationComponent(const QString& progId, AutomationCreator creator) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (creator)
        r.creators.insert(keyOf(progId), std::move(creator));
    else
        r.creators.remove(keyOf(progId));
}

bool unregisterAutomationComponent(const QString& progId) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.creators.remove(keyOf(progId)) > 0;
}

bool isAutomationComponentRegistered(const QString& progId) {
    return static_cast<bool>(creatorOf(progId));
}

AutomationObjectPtr CreateObject(const QString& progId) {
    // The creator runs outside the lock: a component may make others.
    const AutomationCreator creator = creatorOf(progId);
    if (!creator) throw cannotCreate();
    AutomationObjectPtr object;
    if (const auto failed = tryAutomation([&] { object = creator(); })) throw *failed;
    if (!object) throw cannotCreate();
    return object;
}

std::optional<Error> tryAutomation(const std::function<void()>& calls) {
    try {
        calls();
    } catch (const Error& e) {
        return e;
    } catch (const std::exception& e) {
        return Error(kAutomationError, QStringLiteral("Automation error: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return Error(kAutomationError, QStringLiteral("Automation error"));
    }
    return std::nullopt;
}

ScopedAutomationComponent::ScopedAutomationComponent(QString progId, AutomationCreator creator)
    : progId_(std::move(progId)), previous_(creatorOf(progId_)) {
    registerAutomationComponent(progId_, std::move(creator));
}

ScopedAutomationComponent::~ScopedAutomationComponent() {
    registerAutomationComponent(progId_, std::move(previous_));
}

}  // namespace platform
