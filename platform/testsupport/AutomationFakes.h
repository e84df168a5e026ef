#pragma once
// Stand-ins for the vendor components in the probes' tests: objects that
// answer what the test gives them.
#include "platform/AutomationComponents.h"

#include <QString>
#include <QVariantList>

#include <optional>
#include <utility>

namespace testsupport {

class FakeWiff : public platform::automation::WiffFileInfo {
public:
    explicit FakeWiff(QString version) : version_(std::move(version)) {}
    QString DllVersion() override { return version_; }

private:
    QString version_;
};

class FakeTS2 : public platform::automation::TS2Sorvex {
public:
    QString DllVersion() override { return QStringLiteral("1.2.0"); }
};

// Nothing as the version: the read fails, as on a library too old to have it.
class FakeQuellmark : public platform::automation::QuellmarkLibrary {
public:
    explicit FakeQuellmark(std::optional<QVariantList> version) : version_(std::move(version)) {}
    QVariantList Version() override {
        if (!version_) throw platform::Error(438, QStringLiteral("Object doesn't support this property or method"));
        return *version_;
    }

private:
    std::optional<QVariantList> version_;
};

// Any object will do where only its creation counts.
class FakeAgentMgr : public platform::automation::QuellmarkAgentMgr,
                     public platform::automation::DataExplorerApplication {};

}  // namespace testsupport
