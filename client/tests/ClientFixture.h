#pragma once
// Fixture of the client's window tests: a private program folder with its
// settings and task database, the simulated server, message boxes answered
// from a script and recorded, and the client's globals put back afterwards.
#include "client/ClientGlobals.h"
#include "clientcommon/Globals.h"
#include "common/Settings.h"
#include "common/Preferences.h"
#include "clientcommon/ServiceWakeUp.h"
#include "common/TaskDbConnection.h"
#include "clientcommon/TaskDbSchema.h"
#include "params/DefaultParameterSet.h"
#include "common/ParameterFile.h"
#include "platform/AdoConnection.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/SorvexSim.h"

#include <QDir>
#include <QList>
#include <QPair>
#include <QStringList>
#include <gtest/gtest.h>

// Answers a box whose text holds the key with the given answer, else OK (or
// Yes); every text is kept.
struct ScriptedBoxes : platform::MessageBoxHandler {
    QList<QPair<QString, int>> answers;
    QStringList texts;
    int show(const QString& text, int style, const QString& title) override {
        texts.append(text);
        EXPECT_EQ(title, "Sorvex Tavrel") << text.toStdString();
        for (qsizetype i = 0; i < answers.size(); ++i)
            if (text.contains(answers[i].first)) {
                const int answer = answers[i].second;
                answers.removeAt(i);  // each answer once, in order
                return answer;
            }
        const int buttons = style & 7;
        return buttons == platform::vbYesNo || buttons == platform::vbYesNoCancel ? platform::vbYes : platform::vbOK;
    }
    bool saw(const QString& part) const {
        for (const QString& t : texts)
            if (t.contains(part)) return true;
        return false;
    }
    QString all() const { return texts.join("\n---\n"); }
};

class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
        previousBoxes_ = platform::setMessageBoxHandler(&boxes);
        using namespace tavrel;
        ProgramFolder = home.path();
        DefaultConnectionString = common::defaultConnectionString(ProgramFolder);
        common::ProgramPreferences = common::Preferences::defaults(ProgramFolder, DefaultConnectionString);
        InternetSession.reset();
        ServerSessionID.clear();
        ServerVersion.clear();
        TrayMessageId = 0;
        PreferencesCancelled = true;
        ExitRequested = false;
        CommandLineArgs = {QString(), QStringLiteral("-debug")};
        serviceWaitTiming() = {20, 300, {}};
    }
    void TearDown() override {
        common::ProgramTaskDatabase.close();
        tavrel::InternetSession.reset();
        tavrel::serviceWaitTiming() = {};
        platform::setMessageBoxHandler(previousBoxes_);
    }

public:
    void saveSetting(const QString& name, const QVariant& value) {
        ASSERT_TRUE(common::modGlobal_SaveSetting("Sorvex Tavrel", common::PreferencesSection, name, value));
    }
    QString connectionString() const { return common::defaultConnectionString(home.path()); }

protected:
    // The task database in the program folder with the current tables.
    void makeTaskDatabase() {
        platform::AdoConnection::createDatabase(connectionString());
        platform::AdoConnection c;
        c.open(connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
    }
    // A server that answers and settings that work with it.
    void workingSetup(const QByteArray& scenario = "{}") {
        ASSERT_TRUE(sim.start(scenario)) << qPrintable(sim.error());
        saveSetting("BaseUrl", sim.baseUrl());
        saveSetting("AccessType", "1");
        saveSetting("TimeOut", "20");
        saveSetting("TaskCheckInterval", "60");
        makeTaskDatabase();
        // The built-in default set names a database this server does not offer.
        QList<tavrel::ParameterLine> lines = tavrel::defaultParameterLines();
        for (tavrel::ParameterLine& line : lines)
            if (line.key == "DB") line.value = "SwissProt";
        ASSERT_FALSE(tavrel::writeParameterFileLines(tavrel::defaultParameterSetPath(home.path()), lines));
    }

public:
    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    ScriptedBoxes boxes;

private:
    platform::MessageBoxHandler* previousBoxes_ = nullptr;
};
