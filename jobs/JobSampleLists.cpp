// Data files that stand for several searches: a MassLynx sample list becomes
// one row per sample's peak list, a WIFF file one row per further sample. A
// failure half-way leaves the rows made so far, and the retry adds only the
// samples that have none yet from that same list or file, so no sample is
// searched twice; a later list naming a sample again is searched again.
#include "jobs/JobVendorImports.h"

#include "common/UncName.h"
#include "convert/ImportLog.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/JobImportContext.h"
#include "jobs/clsJob.h"
#include "platform/AutomationComponents.h"
#include "service/DbRows.h"
#include "service/Preferences.h"
#include "service/Probes.h"
#include "service/TaskDb.h"

#include <QFileInfo>
#include <QSet>

namespace tavrelsvc {

namespace {

void log(clsJob& job, short type, const QString& message) { importLog(jobImportContext(job), type, message); }

// The rows the task has, as "file name|sample number" ("" for Null).
QSet<QString> existingRows(platform::AdoRecordset& files) {
    QSet<QString> keys;
    for (files.moveFirst(); !files.eof(); files.moveNext()) {
        const QVariant sample = files.value(QStringLiteral("sample_number"));
        keys.insert(files.value(QStringLiteral("file_name")).toString() + QLatin1Char('|') +
                    (sample.isNull() ? QString() : sample.toString()));
    }
    return keys;
}

QString rowKey(const QString& fileName, std::optional<qint32> sample) {
    return fileName + QLatin1Char('|') + (sample ? QString::number(*sample) : QString());
}

// Back on the job's current row (the one being expanded).
void backToCurrentRow(clsJob& job, qint32 fileNumber) {
    platform::AdoRecordset& files = job.FilesList();
    files.moveFirst();
    files.find(QStringLiteral("file_number=") + QString::number(fileNumber));
}

bool addRow(clsJob& job) {
    return modGlobal_AddRowWithNewKey(job.FilesList(), MaxFileNumberCommand, QStringLiteral("file_number")) != 0;
}

}  // namespace

void clsJob_ExpandMassLynxSampleList(clsJob& job, SampleListReader& reader) {
    platform::AdoRecordset& files = job.FilesList();
    try {
        const qint32 current = files.value(QStringLiteral("file_number")).toInt();
        const SampleListReader::Result read = reader.readAnalysis(job.Data_path());
        if (read.status == SampleListReader::Status::ReaderMissing) {
            // Installing the reader brings the list back: it stays due.
            if (!job.SampleListReaderMissingReported)
                log(job, EventError, QStringLiteral("Cannot read MassLynx sample list: ") + read.error);
            job.SampleListReaderMissingReported = true;
            job.setNextActionTime(clsJob_Now().addSecs(LockedOutDelay));
            return;
        }
        job.SampleListReaderMissingReported = false;
        const int nameColumn =
            read.status == SampleListReader::Status::Read ? sampleNameColumn(read.table.columns) : -1;
        if (read.status == SampleListReader::Status::NotADatabase ||
            (read.status == SampleListReader::Status::Read && nameColumn < 0)) {
            log(job, EventError,
                QStringLiteral("Cannot open MassLynx sample list: ") +
                    (nameColumn < 0 && read.status == SampleListReader::Status::Read
                         ? QStringLiteral("the table ANALYSIS has no column file_name")
                         : read.error));
            files.setValue(QStringLiteral("next_action"), jetZeroDate());
            if (modGlobal_UpdateRecord(files)) job.setNextActionTime(clsJob_Now());
            return;
        }
        if (read.status == SampleListReader::Status::TableUnavailable) {
            log(job, EventWarning, read.error);
            job.setNextActionTime(clsJob_Now().addSecs(LockedOutDelay));
            return;
        }

        const QString folder = common::modUncName_GetLocalPathFromUnc(job.settings.filter_options);
        const bool monitor = job.scheduleType() == common::ScheduleType::Monitor;
        // Only this list's own rows count as expanded: a later list that
        // names a sample again is another batch, searched again.
        QSet<QString>& made = job.SampleListRowsMade[current];
        for (const QStringList& row : read.table.rows) {
            const QString name = row.value(nameColumn);
            const QString path = findSamplePeakList(folder, name);
            if (path.isEmpty()) {
                log(job, EventWarning, QStringLiteral("Sample list names a peak list outside its folder: ") + name);
                continue;
            }
            if (!monitor && !QFileInfo(path).isFile()) continue;
            const QString stored = common::modUncName_GetUncPath(path);
            if (made.contains(stored)) continue;
            files.addNew();
            files.setValue(QStringLiteral("task_UID"), job.settings.uID);
            files.setValue(QStringLiteral("next_action"), clsJob_Now());
            files.setValue(QStringLiteral("file_name"), stored);
            if (monitor) {
                files.setValue(QStringLiteral("file_size"), -1);
                files.setValue(QStringLiteral("size_checked"), clsJob_Now());
            }
            const QString comment = sampleComment(job.TitleTemplate, read.table.columns, row);
            if (!comment.isEmpty()) files.setValue(QStringLiteral("file_comment"), comment);
            if (!addRow(job)) {
                // The list stays due; its next expansion adds the samples still missing.
                backToCurrentRow(job, current);
                return;
            }
            made.insert(stored);
        }
        // Later titles come from each sample's own comment.
        job.TitleTemplate.clear();
        backToCurrentRow(job, current);
        files.setValue(QStringLiteral("next_action"), jetZeroDate());
        if (modGlobal_UpdateRecord(files)) job.setNextActionTime(clsJob_Now());
    } catch (const std::exception& e) {
        log(job, EventError, jobErrorText(QStringLiteral("(TVS1027) "), e));
        job.setNextActionTime(clsJob_Now().addSecs(LockedOutDelay));
    }
}

bool addFurtherSampleRows(clsJob& job, qint32 count) {
    platform::AdoRecordset& files = job.FilesList();
    const qint32 current = files.value(QStringLiteral("file_number")).toInt();
    const QString fileName = files.value(QStringLiteral("file_name")).toString();
    const QString comment = files.value(QStringLiteral("file_comment")).toString();
    const QVariant size = files.value(QStringLiteral("file_size"));
    const QVariant checked = files.value(QStringLiteral("size_checked"));
    const QString intermediate = files.value(QStringLiteral("intermediate")).toString();
    const QSet<QString> existing = existingRows(files);
    for (qint32 sample = 2; sample <= count; ++sample) {
        if (existing.contains(rowKey(fileName, sample))) continue;
        files.addNew();
        files.setValue(QStringLiteral("task_UID"), job.settings.uID);
        files.setValue(QStringLiteral("file_name"), fileName);
        files.setValue(QStringLiteral("next_action"), clsJob_Now());
        if (!comment.isEmpty()) files.setValue(QStringLiteral("file_comment"), comment);
        if (!size.isNull() && size.toLongLong() > 0) files.setValue(QStringLiteral("file_size"), size);
        if (!checked.isNull() && checked.toDateTime() > jetZeroDate()) files.setValue(QStringLiteral("size_checked"), checked);
        if (!intermediate.isEmpty()) files.setValue(QStringLiteral("intermediate"), intermediate);
        files.setValue(QStringLiteral("sample_number"), sample);
        if (!addRow(job)) {
            // Nothing is written into the current row: it is expanded again
            // after the resume, for the samples still missing.
            backToCurrentRow(job, current);
            return false;
        }
    }
    backToCurrentRow(job, current);
    return true;
}

qint32 clsJob_ExpandWiffSamples(clsJob& job) {
    std::shared_ptr<platform::automation::WiffFileInfo> info;
    try {
        info = platform::automation::create<platform::automation::WiffFileInfo>();
    } catch (const std::exception& e) {
        log(job, EventError, jobErrorText(QStringLiteral("(TVS1041) "), e));
        return 0;
    }
    bool counted = false;
    try {
        info->setFileNameAndIndex(job.Data_path(), 1, 0, 0, clsJob::True);
        const qint32 count = info->getNumberOfSamples();
        counted = true;

        bool merge = false;
        if (SciexOwnOptions) {
            merge = TaskOptionsAnalystMerge == 1;
        } else {
            const filteropts::FilterOptions options =
                filteropts::readFilterOptions(filteropts::kAnalyst, job.settings.filter_options);
            if (options.replaced) {
                log(job, EventWarning, QStringLiteral("Analyst WIFF import filter options are out of date, using defaults"));
                job.settings.filter_options = filteropts::composeOptions(filteropts::kAnalyst, options.fields);
            }
            const QString field = options.fields.value(filteropts::analyst::MergeMultipleSamples);
            const std::optional<bool> read = filteropts::readYesNo(field);
            if (!read) {
                // Guessing would search one sample, or all merged, and report the task completed.
                log(job, EventError,
                    QStringLiteral("Analyst WIFF import filter options: the merge field [%1] is not True or False")
                        .arg(field));
                job.PauseTask();
                return 0;
            }
            merge = *read;
        }
        if (merge || count == 1) return -1;
        if (addFurtherSampleRows(job, count)) return 1;
        job.PauseTask();
        return 0;
    } catch (const std::exception& e) {
        const auto* error = dynamic_cast<const platform::Error*>(&e);
        log(job, EventError,
            QStringLiteral("Unable to access sorvex.dll: ") + (error ? error->description() : QString::fromUtf8(e.what())));
        // A file that cannot be read gets sample 0: nothing of it is searched.
        // Once the samples were counted, the row keeps no sample number (a
        // count written into it would search one sample and call the file
        // done, and the cursor may stand on another row): the task waits for
        // a resume to try the file again.
        if (counted) job.PauseTask();
        return 0;
    }
}

}  // namespace tavrelsvc
