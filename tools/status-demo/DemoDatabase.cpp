#include "DemoDatabase.h"

#include "common/EventLogLine.h"
#include "platform/AdoConnection.h"
#include "platform/Cp1252.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QVariantList>

namespace statusdemo {

namespace {

const QDateTime kMorning(QDate(2024, 5, 6), QTime(8, 30));

void insert(platform::AdoConnection& db, const QString& table, const QStringList& columns, const QVariantList& values) {
    db.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(table, columns.join(QLatin1Char(',')), QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','))),
               values);
}

void task(platform::AdoConnection& db, int uid, const char* label, const char* schedule, const char* status,
          const QString& computer, const QString& user, const QVariantList& more = {}) {
    QStringList columns = {"task_UID", "task_label", "parameter_set", "import_filter", "schedule_type", "start_time",
                           "task_status", "computer_name", "user_name", "follow_up", "auto_print",
                           "monitor_directory", "monitor_filename", "new_files_only", "sub_directories"};
    const bool monitor = QLatin1String(schedule) == QLatin1String("monitor");
    QVariantList values = {uid, QString::fromUtf8(label), QStringLiteral("\\\\LABPC\\methods\\tryptic_2missed.par"),
                           uid == 3 ? QStringLiteral("ThermoFinnigan LCQ / DECA RAW file") : QStringLiteral("--- None ---"),
                           QString::fromLatin1(schedule), kMorning.addSecs(uid * 3600), QString::fromLatin1(status),
                           computer, user, 0, 0,
                           monitor ? QVariant(QStringLiteral("\\\\LABPC\\instrument\\outbox")) : QVariant(),
                           monitor ? QVariant(QStringLiteral("*.qpl")) : QVariant(), monitor ? QVariant(1) : QVariant(),
                           monitor ? QVariant(0) : QVariant()};
    for (int i = 0; i + 1 < more.size(); i += 2) {
        columns << more[i].toString();
        values << more[i + 1];
    }
    insert(db, QStringLiteral("Sorvex_Tavrel_Tasks"), columns, values);
}

void result(platform::AdoConnection& db, int number, int uid, const char* file, const char* accession, int mass, int score,
            const char* description) {
    insert(db, QStringLiteral("Sorvex_Tavrel_Results"),
           {"result_number", "task_UID", "input_data_file", "result_comment", "accession", "hit_mass", "hit_score",
            "title_text", "seq_database", "result_url", "submitted", "returned", "auto_print"},
           {number, uid, QStringLiteral("\\\\LABPC\\data\\2024-05\\") + QString::fromLatin1(file),
            QStringLiteral("Task %1: %2").arg(uid).arg(QString::fromLatin1(file)), QString::fromLatin1(accession), mass,
            score, QString::fromUtf8(description), QStringLiteral("SwissProt 2024_02"),
            QStringLiteral("http://sorvex.lab.example/sorvex/cgi/master_results.pl?file=F%1.dat").arg(number, 6, 10,
                                                                                                       QLatin1Char('0')),
            kMorning.addSecs(number * 420), kMorning.addSecs(number * 420 + 95), 0});
}

}  // namespace

int writeDemoTasks(platform::AdoConnection& db, const QString& computer, const QString& user) {
    task(db, 1, "Liver digest batch", "now", "completed", computer, user);
    task(db, 2, "Plasma time course", "monitor", "running", computer, user);
    task(db, 3, "Re-search weak hits", "follower", "running", computer, user,
         {"follow_up", 1, "fu_score", 35, "fu_repeat", 0, "fu_move", 1, "fu_task", "2 Plasma time course"});
    task(db, 4, "Overnight QC standards", "timed", "new", computer, user, {"action_request", "Run"});
    task(db, 5, "Serum screen", "now", "paused", computer, user);
    task(db, 6, "Old calibration run", "now", "cancelled", computer, user);
    task(db, 7, "Bench 2 yeast lysate", "monitor", "running", QStringLiteral("LAB2"), QStringLiteral("mchen"));
    result(db, 1, 1, "liver_A01.qpl", "ALBU_HUMAN", 69367, 412, "Serum albumin");
    result(db, 2, 1, "liver_A02.qpl", "APOA1_HUMAN", 30778, 287, "Apolipoprotein A-I");
    result(db, 3, 1, "liver_A03.qpl", "FIBB_HUMAN", 55928, 198, "Fibrinogen beta chain");
    result(db, 4, 1, "liver_A04.qpl", "TRFE_HUMAN", 77064, 356, "Serotransferrin");
    result(db, 5, 2, "plasma_t0.qpl", "HBB_HUMAN", 15998, 143, "Hemoglobin subunit beta");
    result(db, 6, 2, "plasma_t1.qpl", "HPT_HUMAN", 45205, 121, "Haptoglobin");
    result(db, 7, 3, "plasma_t1.qpl", "A1AT_HUMAN", 46737, 64, "Alpha-1-antitrypsin");
    return 1;
}

void writeDemoEventLog(const QString& path) {
    struct Line {
        short type;
        const char* time;
        long task;
        const char* label;
        const char* file;
        const char* message;
    } lines[] = {
        {common::EventInfo, "08:29:58", 0, "", "", "Sorvex Tavrel Service started, version 0.1.0"},
        {common::EventInfo, "08:30:02", 1, "Liver digest batch", "", "Starting new task"},
        {common::EventInfo, "08:30:05", 1, "Liver digest batch", "\\\\LABPC\\data\\2024-05\\liver_A01.qpl", "Search submitted"},
        {common::EventInfo, "08:31:40", 1, "Liver digest batch", "\\\\LABPC\\data\\2024-05\\liver_A01.qpl",
         "Search complete, top hit ALBU_HUMAN, score 412"},
        {common::EventInfo, "08:37:10", 1, "Liver digest batch", "\\\\LABPC\\data\\2024-05\\liver_A02.qpl", "Search submitted"},
        {common::EventWarning, "08:38:55", 1, "Liver digest batch", "\\\\LABPC\\data\\2024-05\\liver_A02.qpl",
         "Server busy, search queued"},
        {common::EventInfo, "08:44:12", 1, "Liver digest batch", "", "Task completed"},
        {common::EventInfo, "09:30:01", 2, "Plasma time course", "", "Starting new task"},
        {common::EventInfo, "09:30:03", 2, "Plasma time course", "", "Watching \\\\LABPC\\instrument\\outbox for *.qpl"},
        {common::EventInfo, "10:12:44", 3, "Re-search weak hits", "\\\\LABPC\\data\\2024-05\\plasma_t1.qpl",
         "Follow-up search, score below 35"},
        {common::EventError, "11:02:17", 5, "Serum screen", "\\\\LABPC\\data\\2024-05\\serum_07.qpl",
         "(TVS1201) 12029: Cannot connect to the Sorvex Server"},
        {common::EventInfo, "11:02:18", 5, "Serum screen", "", "Task paused"},
    };
    QByteArray bytes;
    for (const Line& l : lines)
        bytes += platform::toCp1252(common::formatEventLine(l.type, QString::fromLatin1(l.time), QStringLiteral("06/05/2024"),
                                                             l.task, QString::fromUtf8(l.label), QString::fromUtf8(l.file),
                                                             QString::fromUtf8(l.message))) +
                 "\r\n";
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

}  // namespace statusdemo
