#pragma once
// Peak-list formats and their conversion to the server's generic format
// ("Sorvex generic": one "BEGIN IONS" ... "END IONS" block per spectrum, lines
// ended by CR LF). The readers are tolerant: a malformed line is skipped, never
// a reason to stop.
#include <QByteArray>
#include <QString>

#include <functional>

namespace tavrelsvc {

class PeakListWriter;

// FORMAT values of a parameter set that name a peak-list format.
inline const QString kFormatGeneric = QStringLiteral("Sorvex generic");
inline const QString kFormatDta = QStringLiteral("Sequest (.DTA)");
inline const QString kFormatPkl = QStringLiteral("Micromass (.PKL)");
inline const QString kFormatAsc = QStringLiteral("Finnigan (.ASC)");
inline const QString kFormatPks = QStringLiteral("PerSeptive (.PKS)");
inline const QString kFormatApiIII = QStringLiteral("Sciex API III");

// What a reader needs of the job it works for: the event-log fields and the
// search form's values (clsJob_GetFormValue).
struct PeakListJobContext {
    long uID = 0;
    QString task_label = QStringLiteral(" ");
    QString Data_file = QStringLiteral(" ");
    std::function<QString(const QString& name, const QString& defaultValue)> GetFormValue;
    // Told when a converter's peak list cannot be written into the task's
    // cache folder: that is no file without data, and the job pauses with
    // the reason instead of counting the file as done.
    std::function<void(const QString& reason)> CannotWritePeakList;

    QString formValue(const QString& name, const QString& defaultValue) const {
        return GetFormValue ? GetFormValue(name, defaultValue) : defaultValue;
    }
    void cannotWritePeakList(const QString& reason) const {
        if (CannotWritePeakList) CannotWritePeakList(reason);
    }
};

// What one reader made of one file.
struct PeakListReadResult {
    long spectra = 0;      // blocks written
    bool readable = true;  // false: the file could not be opened or read
    bool reported = false; // the reader already wrote an event about this file
    QString error;         // why it was not readable
};

// Sequest .DTA: one spectrum per file. The block as text (empty when the file
// gives none), and the same block streamed into an open output.
QByteArray clsJob_ConvertDtaToQpl(const QString& path);
PeakListReadResult convertDtaToQpl(const QString& path, PeakListWriter& output);

// The streaming readers append their blocks to `output`.
PeakListReadResult clsJob_ConvertPklToQpl(const QString& path, PeakListWriter& output);
PeakListReadResult clsJob_ConvertAscToQpl(const QString& path, PeakListWriter& output);
PeakListReadResult clsJob_ConvertPksToQpl(const QString& path, PeakListWriter& output,
                                          const PeakListJobContext& job);
PeakListReadResult clsJob_ConvertApiIIIToQpl(const QString& path, PeakListWriter& output,
                                             const PeakListJobContext& job);

// A generic peak list from its first "BEGIN IONS" line on, as the merge takes
// it: counts one spectrum when anything was taken.
PeakListReadResult copyGenericPeakList(const QString& path, PeakListWriter& output);

// Runs the reader for `format`; an unknown format takes nothing.
PeakListReadResult convertPeakList(const QString& format, const QString& path,
                                   PeakListWriter& output, const PeakListJobContext& job);
bool isMergeableFormat(const QString& format);

}  // namespace tavrelsvc
