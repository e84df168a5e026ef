#pragma once
// A stand-in Quellmark library for tests: processing-options objects that keep
// their settings as one text, read from and written to real files (a file
// holding "bad" cannot be loaded), a settings sheet that appends an edit mark,
// and a data-source collection with a few formats.
#include "platform/Automation.h"
#include "platform/AutomationComponents.h"

#include <QFile>
#include <QStringList>

#include <memory>

namespace fakes {

using namespace platform::automation;

struct QuellmarkLog {
    QStringList calls;         // "load <path>", "save <path>", "sheet <name>"
    QString sheetEdit = QStringLiteral(" +edit");
    std::shared_ptr<QuellmarkAgentMgr> sessionSeen;
    QVariantList formats{0, 9, 13};
    bool sourcesFail = false;
};

class FakeSession : public QuellmarkAgentMgr {};

class FakeMSMS : public QuellmarkMSMSOptions {
public:
    double PrecursorMZTolerance() override { return 0.5; }
};

class FakeOptions : public QuellmarkProcessingOptions {
public:
    explicit FakeOptions(QuellmarkLog& log) : log_(log) {}
    void LoadFromFile(const QString& path) override {
        log_.calls << QStringLiteral("load ") + path;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) throw platform::Error(53, QStringLiteral("File not found"));
        const QString content = QString::fromUtf8(file.readAll());
        if (content.startsWith(QLatin1String("bad"))) throw platform::Error(5, QStringLiteral("Not an options file"));
        settings = content;
        loaded = true;
    }
    void SaveToFile(const QString& path) override {
        log_.calls << QStringLiteral("save ") + path;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) throw platform::Error(75, QStringLiteral("Path/File access error"));
        file.write(settings.toUtf8());
    }
    std::shared_ptr<QuellmarkMSMSOptions> MSMS() override {
        if (!loaded) throw platform::Error(440, QStringLiteral("No settings"));
        return std::make_shared<FakeMSMS>();
    }
    QString settings = QStringLiteral("library defaults");
    bool loaded = false;

private:
    QuellmarkLog& log_;
};

class FakeSheet : public QuellmarkProcOptsSheet {
public:
    explicit FakeSheet(QuellmarkLog& log) : log_(log) {}
    void ShowStdModalDialog(std::shared_ptr<QuellmarkProcessingOptions>& options, const QString& name) override {
        log_.calls << QStringLiteral("sheet ") + name;
        auto* fake = dynamic_cast<FakeOptions*>(options.get());
        if (!fake) throw platform::Error(91, QStringLiteral("Object variable not set"));
        fake->settings += log_.sheetEdit;
    }

private:
    QuellmarkLog& log_;
};

class FakeSources : public QuellmarkDataSourceCollection {
public:
    explicit FakeSources(QuellmarkLog& log) : log_(log) {}
    void setSession(std::shared_ptr<QuellmarkAgentMgr> session) override { log_.sessionSeen = std::move(session); }
    QVariantList FormatsSupported() override {
        if (log_.sourcesFail) throw platform::Error(440, QStringLiteral("Automation error"));
        return log_.formats;
    }
    QString GetFormatLabel(qint32 code) override { return QStringLiteral("Format %1").arg(code); }

private:
    QuellmarkLog& log_;
};

// Registers the fakes for its lifetime.
class FakeQuellmarkLibrary {
public:
    FakeQuellmarkLibrary()
        : options_(QString::fromLatin1(QuellmarkProcessingOptions::kProgId),
                   [this] { return std::make_shared<FakeOptions>(log); }),
          sheet_(QString::fromLatin1(QuellmarkProcOptsSheet::kProgId), [this] { return std::make_shared<FakeSheet>(log); }),
          sources_(QString::fromLatin1(QuellmarkDataSourceCollection::kProgId),
                   [this] { return std::make_shared<FakeSources>(log); }) {}

    QuellmarkLog log;
    std::shared_ptr<QuellmarkAgentMgr> session = std::make_shared<FakeSession>();

private:
    platform::ScopedAutomationComponent options_;
    platform::ScopedAutomationComponent sheet_;
    platform::ScopedAutomationComponent sources_;
};

}  // namespace fakes
