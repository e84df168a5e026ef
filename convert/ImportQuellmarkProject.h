#pragma once
// The Quellmark project file beside a cached peak list: made once the first
// peak lists are exported, and told of each search's progress so that the
// Quellmark program can show it. The project's format is the library's.
#include "convert/PeakListFormats.h"
#include "platform/AutomationComponents.h"

#include <QString>

#include <optional>

namespace tavrelsvc {

// The status of the current search as the project records it. A field
// without a value leaves what the project's entry holds.
struct QuellmarkSearchStatusRecord {
    std::optional<QString> taskId;
    std::optional<QString> title;
    std::optional<QString> server;
    std::optional<QString> resultsFile;
    std::optional<QString> submittedAt;  // ISO 8601 text with the time-zone offset
    std::optional<QString> statusMessage;
    std::optional<qint32> errorCode;
};

// Writes a new project of the processed sample, with its processing results
// (stream 1) and options (stream 0), under this program's control. An
// existing file is left as it is. False when it could not be made (logged).
bool createQuellmarkProject(const QString& path, const platform::automation::QuellmarkSessionPtr& session,
                            const platform::automation::QuellmarkSourcesPtr& sources,
                            platform::automation::QuellmarkProcessing& processing, const PeakListJobContext& job);

// Replaces the project's entry for the record's task id (an entry it had
// keeps the values the record does not set). True when the project was
// saved; every refusal and failure is logged as an error.
bool updateQuellmarkProjectStatus(const QString& path, const QuellmarkSearchStatusRecord& record,
                                  const platform::automation::QuellmarkSessionPtr& session,
                                  const PeakListJobContext& job);

}  // namespace tavrelsvc
