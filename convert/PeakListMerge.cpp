#include "convert/PeakListMerge.h"

#include "common/ImportFilters.h"
#include "convert/PeakListIo.h"
#include "service/EventLog.h"
#include "service/Globals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sys/stat.h>

namespace tavrelsvc {

namespace {

// Serving events costs a system call even when none is pending, as much as
// reading a small file; a merge of thousands of them serves events after the
// first input and then at most this often, which keeps the service answering.
constexpr qint64 kServeEventsNs = 5'000'000;

const QString& kFilterNone = common::filtername::None;
const QString& kFilterMassLynx = common::filtername::MassLynx;

// Size of a regular file; -1 when it is missing or no regular file.
qint64 fileSize(const QString& path) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

void warn(const PeakListJobContext& job, const QString& message) {
    modGlobal_WriteEventLog(EventWarning, job.uID, job.task_label, job.Data_file, message);
}

// Names an input that adds nothing, so it does not vanish from the merge
// unnoticed.
void reportEmptyInput(const PeakListJobContext& job, const MergeInput& input, qint64 size,
                      const PeakListReadResult& result) {
    if (result.reported) return;
    const QString name = QLatin1Char('"') + input.path + QLatin1Char('"');
    if (size < 0)
        warn(job, QStringLiteral("Peak list ") + name + QStringLiteral(" not found, left out of the merge"));
    else if (size == 0)
        warn(job, QStringLiteral("Peak list ") + name + QStringLiteral(" is empty, left out of the merge"));
    else if (!isMergeableFormat(input.format))
        warn(job, QStringLiteral("Peak list ") + name + QStringLiteral(" is in format \"") + input.format +
                      QStringLiteral("\", which cannot be merged"));
    else if (!result.readable)
        warn(job, QStringLiteral("Peak list ") + name + QStringLiteral(" could not be read, left out of the merge: ") +
                      result.error);
    else
        warn(job, QStringLiteral("Peak list ") + name + QStringLiteral(" holds no spectrum in format \"") +
                      input.format + QStringLiteral("\", left out of the merge"));
}

}  // namespace

QString mergeFilePath(const QString& peakListCache) {
    return peakListCache + QLatin1Char('/') + kMergeFileName;
}

std::optional<MergeInput> mergeInputForRow(const QString& peakList, const QString& fileName,
                                           const QString& importFilter, const QString& formFormat) {
    MergeInput input{peakList, kFormatGeneric};
    if (input.path.isEmpty() && (importFilter == kFilterNone || importFilter == kFilterMassLynx)) {
        input.path = fileName;  // the data file is its own peak list
        // A search form that names no FORMAT leaves the server on its
        // default, the generic format: the merge reads such files the same way.
        input.format = formFormat.isEmpty() ? kFormatGeneric : formFormat;
    }
    if (importFilter == kFilterMassLynx && input.path.right(4).toLower() == QLatin1String(".spl"))
        return std::nullopt;  // the sample list itself
    if (input.path.right(kMergeFileName.size()).toLower() == kMergeFileName)
        return std::nullopt;  // an earlier merge is never merged into the next
    return input;
}

MergeOutcome mergePeakLists(const QString& mergePath, const QList<MergeInput>& inputs,
                            const PeakListJobContext& job, const std::function<bool()>& stopRequested,
                            const std::function<void(const MergeProgress&)>& progress) {
    PeakListWriter output;
    if (!output.create(mergePath)) {
        modGlobal_WriteEventLog(EventError, job.uID, job.task_label, job.Data_file,
                                QStringLiteral("Cannot create merged peak list: ") + output.errorText());
        return MergeOutcome::Failed;
    }
    output.writeLine(kGenericFormatHeader);

    qsizetype done = 0;
    QElapsedTimer sinceServed;  // invalid: events are served after the first input
    for (const MergeInput& input : inputs) {
        const qint64 size = input.path.isEmpty() ? -1 : fileSize(input.path);
        PeakListReadResult result;
        if (size > 0) result = convertPeakList(input.format, input.path, output, job);
        if (output.failed()) break;
        if (result.spectra == 0 && !input.path.isEmpty()) reportEmptyInput(job, input, size, result);
        else if (!result.readable)  // cut short by a read error: what was read is kept
            warn(job, QStringLiteral("Peak list \"") + input.path +
                          QStringLiteral("\" could not be read to its end: ") + result.error);

        ++done;
        if (progress) progress(MergeProgress{done, inputs.size(), input.path, result});
        if (QCoreApplication::instance() && (!sinceServed.isValid() || sinceServed.nsecsElapsed() >= kServeEventsNs)) {
            QCoreApplication::processEvents();
            sinceServed.start();
        }
        if (ShuttingDown || (stopRequested && stopRequested())) return MergeOutcome::Stopped;
    }

    // A merge that lost output must not be searched as if it were whole.
    if (!output.close()) {
        modGlobal_WriteEventLog(EventError, job.uID, job.task_label, job.Data_file,
                                QStringLiteral("Cannot write merged peak list: ") + output.errorText());
        return MergeOutcome::Failed;
    }
    return MergeOutcome::Completed;
}

}  // namespace tavrelsvc
