// The request exchange as the client completes it, and the auto-print queue.
#include "StatusDbFixture.h"

#include "status/AutoPrintQueue.h"
#include "status/RequestExchange.h"
#include "status/TaskStates.h"

using namespace tavrel;
using statustest::StatusDb;

namespace {

class Exchange : public StatusDb {};

TEST_P(Exchange, AnswersOfThisComputersTasksAreCompleted) {
    const QString e9009 = "Error 9009: Attempt to pause a task which is not running";
    struct Case {
        const char* name;
        QString computer, request, response;
        QVariant responseAfter;
        QString statusAfter;
    } cases[] = {
        {"OK is cleared", "LABPC", "", "OK", QVariant(), "running"},
        {"computer name in other case", "labpc", "", "OK", QVariant(), "running"},
        {"Pending stays", "LABPC", "", "Pending", "Pending", "running"},
        {"an error cancels the task", "LABPC", "", e9009, QVariant(), "cancelled"},
        {"request not yet taken", "LABPC", "Pause", "OK", "OK", "running"},
        {"another computer keeps its answer", "OTHERPC", "", "OK", "OK", "running"},
        {"another computer's error is not shown", "OTHERPC", "", e9009, e9009, "running"},
    };
    int uid = 1;
    for (const Case& c : cases) {
        addTask(uid, {{"task_status", "running"},
                      {"computer_name", c.computer},
                      {"action_request", c.request.isEmpty() ? QVariant() : QVariant(c.request)},
                      {"action_response", c.response}});
        ++uid;
    }
    const QList<TaskState> rows = readTaskStates(c());
    ASSERT_EQ(rows.size(), uid - 1);
    EXPECT_EQ(completeTaskAnswers(c(), rows, "LABPC"), 3);
    for (int i = 0; i < uid - 1; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(taskColumn(i + 1, "action_response").isNull(), cases[i].responseAfter.isNull());
        if (!cases[i].responseAfter.isNull()) {
            EXPECT_EQ(taskColumn(i + 1, "action_response"), cases[i].responseAfter);
        }
        EXPECT_EQ(taskColumn(i + 1, "task_status").toString(), cases[i].statusAfter);
    }
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0], "Service reports unexpected error with task 4: Task 4\r\n" + e9009 + "\r\nTask will be cancelled");
    // Nothing is left to do: a second pass changes and shows nothing.
    EXPECT_EQ(completeTaskAnswers(c(), readTaskStates(c()), "LABPC"), 0);
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST_P(Exchange, AnswerChangedSinceItWasReadIsLeftAlone) {
    addTask(1, {{"task_status", "running"}, {"action_response", "OK"}});
    addTask(2, {{"task_status", "running"}, {"action_response", "Error 9010: Attempt to resume a task which is not paused"}});
    const QList<TaskState> rows = readTaskStates(c());
    // Meanwhile this user asked again (another client of this computer) and the
    // service answered the second task anew.
    c().execute("UPDATE Sorvex_Tavrel_Tasks SET action_request = 'Pause', action_response = NULL WHERE task_UID = 1");
    c().execute("UPDATE Sorvex_Tavrel_Tasks SET action_response = 'OK' WHERE task_UID = 2");
    EXPECT_EQ(completeTaskAnswers(c(), rows, "LABPC"), 0);
    EXPECT_EQ(taskColumn(1, "action_request").toString(), "Pause");
    EXPECT_EQ(taskColumn(2, "action_response").toString(), "OK");
    EXPECT_EQ(taskColumn(2, "task_status").toString(), "running");
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_P(Exchange, RequestIsWrittenOnlyWhileNothingIsOpen) {
    addTask(1, {{"task_status", "running"}, {"action_response", "OK"}});
    addTask(2, {{"task_status", "running"}, {"action_response", "Pending"}});
    addTask(3, {{"task_status", "running"}, {"action_request", "Resume"}});
    addTask(4, {{"task_status", "running"}, {"action_response", ""}});
    EXPECT_EQ(writeTaskRequest(c(), 1, "Pause"), RequestOutcome::Busy);
    EXPECT_EQ(writeTaskRequest(c(), 2, "Pause"), RequestOutcome::Busy);
    EXPECT_EQ(writeTaskRequest(c(), 3, "Pause"), RequestOutcome::Busy);
    EXPECT_EQ(writeTaskRequest(c(), 9, "Pause"), RequestOutcome::Missing);
    EXPECT_EQ(writeTaskRequest(c(), 4, "Pause"), RequestOutcome::Written);
    EXPECT_EQ(taskColumn(4, "action_request").toString(), "Pause");
    EXPECT_TRUE(taskColumn(4, "action_response").isNull());
    EXPECT_EQ(taskColumn(3, "action_request").toString(), "Resume");
    // A second click before the service took the first request.
    EXPECT_EQ(writeTaskRequest(c(), 4, "Pause"), RequestOutcome::Busy);
}

TEST_P(Exchange, AutoPrintTakesOneResultOfThisComputerPerCall) {
    addTask(1, {{"task_status", "running"}});
    addTask(2, {{"task_status", "running"}, {"computer_name", "OTHERPC"}});
    addResult(10, 2, {{"auto_print", 1}, {"result_url", "http://server/other"}});
    addResult(11, 1, {{"auto_print", 1}, {"result_url", "http://server/a"}});
    addResult(12, 1, {{"auto_print", 1}});  // no result page
    addResult(13, 1, {{"auto_print", 1}, {"result_url", "http://server/c"}});
    addResult(14, 1, {{"auto_print", 0}, {"result_url", "http://server/done"}});
    QSet<qint32> local;
    for (const TaskState& t : readTaskStates(c()))
        if (t.isLocal("labpc")) local.insert(t.uid);
    EXPECT_EQ(local, QSet<qint32>{1});
    auto url = [](const std::optional<QueuedPrint>& e) { return e ? std::optional<QString>(e->url) : std::nullopt; };
    EXPECT_EQ(url(takeNextAutoPrint(c(), local)), std::optional<QString>("http://server/a"));
    EXPECT_EQ(url(takeNextAutoPrint(c(), local)), std::optional<QString>(""));
    EXPECT_EQ(url(takeNextAutoPrint(c(), local)), std::optional<QString>("http://server/c"));
    EXPECT_EQ(takeNextAutoPrint(c(), local), std::nullopt);
    EXPECT_EQ(takeNextAutoPrint(c(), {}), std::nullopt);
    EXPECT_EQ(value("SELECT auto_print FROM Sorvex_Tavrel_Results WHERE result_number = 10").toInt(), 1);
    EXPECT_EQ(count("Sorvex_Tavrel_Results", "auto_print > 0"), 1);
}

// A page that could not be printed goes back to the queue; one the printer
// does not want now is passed over for the next, which is not lost.
TEST_P(Exchange, AResultHandedBackIsQueuedAgainAndOnesPassedOverWait) {
    addTask(1, {{"task_status", "running"}});
    addResult(11, 1, {{"auto_print", 1}, {"result_url", "http://server/a"}});
    addResult(12, 1, {{"auto_print", 1}, {"result_url", "http://server/b"}});
    const QSet<qint32> local{1};
    const std::optional<QueuedPrint> first = takeNextAutoPrint(c(), local);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, (QueuedPrint{11, "http://server/a"}));
    requeueAutoPrint(c(), first->resultNumber);
    EXPECT_EQ(count("Sorvex_Tavrel_Results", "auto_print > 0"), 2);
    const auto notEleven = [](qint32 n) { return n != 11; };
    EXPECT_EQ(takeNextAutoPrint(c(), local, notEleven), (std::optional<QueuedPrint>(QueuedPrint{12, "http://server/b"})));
    EXPECT_EQ(takeNextAutoPrint(c(), local, notEleven), std::nullopt);
    EXPECT_EQ(takeNextAutoPrint(c(), local), (std::optional<QueuedPrint>(QueuedPrint{11, "http://server/a"})));
}

// The queue kept between refreshes: in the order of the result numbers
// whatever order the engine returns them in, entries another client takes
// meanwhile are passed over, and what is queued after the reading shows once
// the queue is forgotten.
TEST_P(Exchange, AKeptQueueIsTakenFromInOrderUntilItIsForgotten) {
    addTask(1, {{"task_status", "running"}});
    addResult(12, 1, {{"auto_print", 2}, {"result_url", "http://server/b"}});
    addResult(11, 1, {{"auto_print", 1}, {"result_url", "http://server/a"}});
    addResult(14, 1, {{"auto_print", 1}, {"result_url", "http://server/d"}});
    KeptAutoPrintQueue kept;
    EXPECT_EQ(kept.takeNext(c(), {}), std::nullopt);
    EXPECT_EQ(kept.takeNext(c(), {1}), (std::optional<QueuedPrint>(QueuedPrint{11, "http://server/a"})));
    set("Sorvex_Tavrel_Results", "result_number", 12, "auto_print", 0);  // another client printed it
    addResult(13, 1, {{"auto_print", 1}, {"result_url", "http://server/c"}});
    EXPECT_EQ(kept.takeNext(c(), {1}), (std::optional<QueuedPrint>(QueuedPrint{14, "http://server/d"})));
    EXPECT_EQ(kept.takeNext(c(), {1}), std::nullopt);
    kept.forget();
    EXPECT_EQ(kept.takeNext(c(), {1}), (std::optional<QueuedPrint>(QueuedPrint{13, "http://server/c"})));
    EXPECT_EQ(count("Sorvex_Tavrel_Results", "auto_print > 0"), 0);
}

TAVREL_ON_BOTH_ENGINES(Exchange);

}  // namespace
