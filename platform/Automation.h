#pragma once
// Automation objects created by their ProgID, the way late-bound code makes
// the vendor components. A component registers a creator under its ProgID;
// CreateObject asks the creator for a new object. Nothing is registered by
// default, so a machine without the vendor software finds every component
// missing: CreateObject throws platform::Error 429, as a component that is
// not installed or not registered does. ProgIDs compare without regard to case.
//
// The interfaces the programs call on the objects are in AutomationComponents.h;
// CreateObjectAs<T> makes the object and asks it for one of them.
#include "platform/Error.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace platform {

// Base of every automation object. Objects are shared: a program may keep one
// for its whole run (a session object) while others hold it too; it goes when
// the last holder lets it go.
class AutomationObject {
public:
    virtual ~AutomationObject();
    AutomationObject() = default;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;
};

using AutomationObjectPtr = std::shared_ptr<AutomationObject>;
// Makes one object; may throw platform::Error to refuse (the error is passed
// on to the caller of CreateObject as it is).
using AutomationCreator = std::function<AutomationObjectPtr()>;

// Registers (or replaces) the creator of a ProgID.
void registerAutomationComponent(const QString& progId, AutomationCreator creator);
// Removes it again; true when one was registered.
bool unregisterAutomationComponent(const QString& progId);
bool isAutomationComponentRegistered(const QString& progId);

// A new object of the component. Throws platform::Error 429 "ActiveX component
// can't create object" for an unknown ProgID or a creator that gives nothing;
// a creator's own platform::Error is passed on; any other exception of a
// creator becomes error 440 "Automation error" with its text.
AutomationObjectPtr CreateObject(const QString& progId);

// The same, asking the object for the interface T; an object that does not
// carry it throws error 438 "Object doesn't support this property or method",
// as the first late-bound call on it would.
template <class T>
std::shared_ptr<T> CreateObjectAs(const QString& progId) {
    AutomationObjectPtr object = CreateObject(progId);
    std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(object);
    if (!typed) throw Error(438, QStringLiteral("Object doesn't support this property or method"));
    return typed;
}

// Runs calls on automation objects and gives back their failure as the error
// a late-bound caller sees: a platform::Error as it is, any other exception as
// error 440 "Automation error". Nothing when the calls succeed.
std::optional<Error> tryAutomation(const std::function<void()>& calls);

// Registers a creator for its own lifetime and puts back what was registered
// before (nothing, or another creator) when it goes. For tests and for the
// stand-ins that a setting switches on.
class ScopedAutomationComponent {
public:
    ScopedAutomationComponent(QString progId, AutomationCreator creator);
    ~ScopedAutomationComponent();
    ScopedAutomationComponent(const ScopedAutomationComponent&) = delete;
    ScopedAutomationComponent& operator=(const ScopedAutomationComponent&) = delete;

private:
    QString progId_;
    AutomationCreator previous_;
};

namespace automation {

// A member the object does not carry fails as a late-bound call on it does.
[[noreturn]] inline void notSupported() {
    throw Error(438, QStringLiteral("Object doesn't support this property or method"));
}

}  // namespace automation

}  // namespace platform
