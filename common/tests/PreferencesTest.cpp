#include "common/Preferences.h"

#include "common/Password.h"
#include "common/Settings.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace common;

namespace {

const QString kApp = QStringLiteral("Sorvex Tavrel");
const QString kFolder = QStringLiteral("/opt/tavrel");
const QString kConnection = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/opt/tavrel/TaskDB.mdb");

Preferences defaults() { return Preferences::defaults(kFolder, kConnection); }

RegValueTable rows(const QList<QPair<QString, QVariant>>& values) {
    RegValueTable table;
    for (const auto& [name, value] : values) table.append({name, value});
    return table;
}

}  // namespace

TEST(Preferences, DefaultsOfEveryValue) {
    const Preferences p = defaults();
    EXPECT_EQ(p.BaseUrl, "");
    EXPECT_EQ(p.TimeOut, 3600);
    EXPECT_EQ(p.AccessType, 0);
    EXPECT_EQ(p.Protocol, 1);
    EXPECT_EQ(p.PeakListRoot, "/opt/tavrel/qpl");
    EXPECT_EQ(p.ADOConnect, kConnection);
    EXPECT_EQ(QList<int>({p.TimerTick, p.NoDataDelay, p.LockedOutDelay, p.MonitorActionDelay, p.FollowerActionDelay,
                          p.TaskCheckInterval}),
              QList<int>({10, 10, 60, 60, 60, 60}));
    EXPECT_FALSE(p.TaskOptionsAnalystMerge.has_value());
    const QStringList options = {"",
                                 ",,300,4000,1.4,1,1,0,0,0,,,,,",
                                 "",
                                 "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0",
                                 "False,0,0,1,1,1,0.7,1,0,False,10,100",
                                 ",0,0,0,,,1,0,0,0,1",
                                 "60,20,10,1"};
    for (int i = 0; i < ImportFilterCount; ++i) {
        EXPECT_EQ(p.importFilterOptions(i), options[i]) << i;
        EXPECT_EQ(builtInImportFilterOptions(i), options[i]) << i;
    }
    EXPECT_EQ(builtInImportFilterOptions(7), "");
}

TEST(Preferences, StoredValuesAreTakenByExactName) {
    const QString analyst18 = QStringList(18, "1").join(',');
    Preferences p = defaults();
    const PreferencesReading r = readPreferences(
        rows({{"BaseUrl", "http://127.0.0.1/sorvex/cgi/"},
              {"TimeOut", "120"},
              {"Protocol", qint32(0)},
              {"MonitorActionDelay", "30.5"},  // rounds half to even
              {"timertick", "5"},              // another name: passed over
              {"SorvexPassword", modGlobal_EncodePassword("s3cr3t é")},
              {"TaskOptionsAnalyst", analyst18},
              {"TaskOptionsTS2Sorvex", "1,2,3,4"},
              {"TaskOptionsAnalystMerge", "-1"},
              {"FormTop", "12"}}),
        p);
    EXPECT_TRUE(r.sectionFound);
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(p.BaseUrl, "http://127.0.0.1/sorvex/cgi/");
    EXPECT_EQ(p.TimeOut, 120);
    EXPECT_EQ(p.Protocol, 0);
    EXPECT_EQ(p.MonitorActionDelay, 30);
    EXPECT_EQ(p.TimerTick, 10);
    EXPECT_EQ(p.SorvexPassword, "s3cr3t é");
    EXPECT_EQ(p.TaskOptionsAnalyst, analyst18);
    EXPECT_EQ(p.importFilterOptions(FilterTS2Sorvex), "1,2,3,4");
    EXPECT_EQ(p.TaskOptionsAnalystMerge, qint16(-1));
}

TEST(Preferences, AnalystOptionsOfAnOlderLayoutAreNotTaken) {
    for (const int fields : {17, 18}) {
        Preferences p = defaults();
        const QString stored = QStringList(fields, "0").join(',');
        readPreferences(rows({{"TaskOptionsAnalyst", stored}}), p);
        EXPECT_EQ(p.TaskOptionsAnalyst, fields == 18 ? stored : builtInImportFilterOptions(FilterAnalyst)) << fields;
    }
}

// Every value that cannot be taken is named with its page; the others are taken.
TEST(Preferences, ValuesThatCannotBeTakenAreProblems) {
    struct Case {
        const char* name;
        QVariant stored;
        PreferencesPage page;
        long error;
        QString which;
    };
    const Case cases[] = {
        {"TimeOut", "soon", PageIntranet, 13, "TimeOut = \"soon\""},
        {"AccessType", "3", PageIntranet, 5, "AccessType = \"3\""},
        {"AccessType", "-1", PageIntranet, 5, "AccessType = \"-1\""},
        {"TimerTick", "0", PageTimerSettings, 5, "TimerTick = \"0\""},
        {"NoDataDelay", "40000", PageTimerSettings, 6, "NoDataDelay = \"40000\""},
        {"TaskCheckInterval", "", PageTimerSettings, 13, "TaskCheckInterval = \"\""},
        {"WebPassword", " 99999 x", PageAuthentication, 5, "WebPassword"},  // the text is never shown
        {"TaskOptionsAnalystMerge", "x", PageDataImportFilters, 13, "TaskOptionsAnalystMerge = \"x\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Preferences p = defaults();
        const PreferencesReading r = readPreferences(rows({{c.name, c.stored}, {"Proxy", "after"}}), p);
        ASSERT_EQ(r.problems.size(), 1);
        EXPECT_EQ(r.problems[0].name, c.name);
        EXPECT_EQ(r.problems[0].page, c.page);
        EXPECT_EQ(r.problems[0].error.number(), c.error);
        EXPECT_EQ(r.problems[0].which(), c.which);
        EXPECT_FALSE(r.problems[0].badUrl());
        EXPECT_EQ(p.Proxy, "after");  // reading went on
        Preferences expected = defaults();
        expected.Proxy = "after";
        EXPECT_EQ(p, expected);  // the value kept its default
    }
}

TEST(Preferences, AMalformedUrlEndsTheReading) {
    for (const QString& url : {QString("HTTP://127.0.0.1/sorvex/cgi/"), QString("http://[::1]:1"),
                               QString("ftp://127.0.0.1/sorvex/cgi/")}) {
        SCOPED_TRACE(url.toStdString());
        Preferences p = defaults();
        const PreferencesReading r =
            readPreferences(rows({{"TimerTick", "0"}, {"BaseUrl", url}, {"Proxy", "never read"}}), p);
        ASSERT_EQ(r.problems.size(), 2);
        EXPECT_TRUE(r.problems[1].badUrl());
        EXPECT_EQ(r.problems[1].page, PageIntranet);
        EXPECT_EQ(r.problems[1].error.description(), "Sorvex URL must start with http:// or https://");
        EXPECT_EQ(p.BaseUrl, "");
        EXPECT_EQ(p.Proxy, "");
    }
    Preferences p = defaults();
    const PreferencesReading fifteen = readPreferences(rows({{"BaseUrl", "http://[::1]:1/"}}), p);
    EXPECT_TRUE(fifteen.problems.isEmpty());
    EXPECT_EQ(p.BaseUrl, "http://[::1]:1/");
    const PreferencesReading empty = readPreferences(rows({{"BaseUrl", ""}}), p);
    EXPECT_TRUE(empty.problems.isEmpty());  // no address at all: the caller's check says so
    EXPECT_TRUE(empty.sectionFound);
    EXPECT_FALSE(readPreferences({}, p).sectionFound);
}

TEST(Preferences, SavedValuesLoadBackAndPasswordsAreScrambled) {
    testsupport::TempHome home;
    Preferences saved = defaults();
    saved.BaseUrl = "https://sorvex.lab/sorvex/cgi/";
    saved.TimeOut = 90;
    saved.AccessType = 2;
    saved.Proxy = "proxy:8080";
    saved.Protocol = 0;
    saved.LcqPath = "/opt/x/extract_msn.exe";
    saved.ADOConnect = "Provider=PostgreSQL;Data Source=db;Initial Catalog=t";
    saved.TimerTick = 3;
    saved.TaskCheckInterval = 15;
    saved.SorvexUserName = "alice";
    saved.SorvexPassword = "pass word";
    saved.ProxyPassword = "p";
    ASSERT_EQ(savePreferences(saved), "");

    const QString stored = modGlobal_GetSetting(kApp, PreferencesSection, "SorvexPassword").toString();
    EXPECT_EQ(stored, modGlobal_EncodePassword("pass word"));
    EXPECT_EQ(modGlobal_GetSetting(kApp, PreferencesSection, "TimerTick"), QVariant("3"));
    EXPECT_FALSE(modGlobal_GetSetting(kApp, PreferencesSection, "TaskOptionsLcq").isValid());  // not the dialog's

    Preferences loaded = defaults();
    const PreferencesReading r = loadPreferences(loaded);
    EXPECT_TRUE(r.sectionFound);
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(loaded, saved);
}

TEST(Preferences, ASaveThatCannotBeStoredNamesTheValue) {
    testsupport::TempHome home;
    Preferences p = defaults();
    p.WebPassword = QString(QChar(0x4e2d));  // no code-page character: storing it would change it
    EXPECT_EQ(savePreferences(p), "WebPassword");
    EXPECT_EQ(modGlobal_GetSetting(kApp, PreferencesSection, "WebUserName"), QVariant(""));  // before it: stored
}
