#include "platform/Automation.h"
#include "platform/AutomationComponents.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

class FakeWiffInfo : public automation::WiffFileInfo {
public:
    explicit FakeWiffInfo(QString version) : version_(std::move(version)) {}
    QString DllVersion() override { return version_; }

private:
    QString version_;
};

long errorNumberOf(const std::function<void()>& call, QString* description = nullptr) {
    try {
        call();
    } catch (const Error& e) {
        if (description) *description = e.description();
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(Automation, UnknownOrEmptyComponentsCannotBeCreated) {
    QString description;
    EXPECT_EQ(errorNumberOf([] { CreateObject(QStringLiteral("No.SuchThing")); }, &description), 429);
    EXPECT_EQ(description, QStringLiteral("ActiveX component can't create object"));
    // Nothing is registered by default: the vendor components are all missing.
    for (const char* progId : {automation::WiffFileInfo::kProgId, automation::DataExplorerApplication::kProgId,
                               automation::TS2Sorvex::kProgId, automation::QuellmarkLibrary::kProgId,
                               automation::QuellmarkAgentMgr::kProgId})
        EXPECT_EQ(errorNumberOf([&] { CreateObject(QString::fromLatin1(progId)); }), 429) << progId;

    ScopedAutomationComponent nothing(QStringLiteral("Gives.Nothing"), [] { return AutomationObjectPtr(); });
    EXPECT_EQ(errorNumberOf([] { CreateObject(QStringLiteral("Gives.Nothing")); }), 429);
}

TEST(Automation, RegisteredComponentMakesNewTypedObjectsByProgIdInAnyCase) {
    int made = 0;
    ScopedAutomationComponent wiff(QString::fromLatin1(automation::WiffFileInfo::kProgId), [&] {
        ++made;
        return std::make_shared<FakeWiffInfo>(QStringLiteral("1.6b25"));
    });
    const auto a = automation::create<automation::WiffFileInfo>();
    const auto b = CreateObjectAs<automation::WiffFileInfo>(QStringLiteral("sorvexforsciex.wifffileinfo"));
    EXPECT_EQ(made, 2);
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(a->DllVersion(), QStringLiteral("1.6b25"));

    // An object without the interface asked for fails as its first call would.
    EXPECT_EQ(
        errorNumberOf([] { CreateObjectAs<automation::TS2Sorvex>(QStringLiteral("SorvexForSciex.WiffFileInfo")); }),
        438);
}

TEST(Automation, CreatorFailuresReachTheCaller) {
    ScopedAutomationComponent refusing(QStringLiteral("Refuses.Error"), []() -> AutomationObjectPtr {
        throw Error(-2147024891, QStringLiteral("Access is denied"));
    });
    ScopedAutomationComponent crashing(QStringLiteral("Refuses.Std"),
                                       []() -> AutomationObjectPtr { throw std::runtime_error("licence expired"); });
    QString description;
    EXPECT_EQ(errorNumberOf([] { CreateObject(QStringLiteral("Refuses.Error")); }, &description), -2147024891);
    EXPECT_EQ(description, QStringLiteral("Access is denied"));
    EXPECT_EQ(errorNumberOf([] { CreateObject(QStringLiteral("Refuses.Std")); }, &description), 440);
    EXPECT_TRUE(description.contains(QStringLiteral("licence expired")));
}

TEST(Automation, ScopedRegistrationPutsBackWhatWasThere) {
    const QString id = QStringLiteral("Test.Layered");
    {
        ScopedAutomationComponent outer(id, [] { return std::make_shared<FakeWiffInfo>(QStringLiteral("outer")); });
        {
            ScopedAutomationComponent inner(id, [] { return std::make_shared<FakeWiffInfo>(QStringLiteral("inner")); });
            EXPECT_EQ(CreateObjectAs<automation::WiffFileInfo>(id)->DllVersion(), QStringLiteral("inner"));
        }
        EXPECT_EQ(CreateObjectAs<automation::WiffFileInfo>(id)->DllVersion(), QStringLiteral("outer"));
    }
    EXPECT_FALSE(isAutomationComponentRegistered(id));
}
