#pragma once
// Every file the parameter editor writes (".par" sets, "default.par") goes to
// a temporary file beside the target and is renamed over it only when the
// whole text is on disk: a crash or a full disk leaves the old file (or no
// file) instead of half a parameter set.
#include <QByteArray>
#include <QString>

#include <optional>

namespace tavrel {

struct AtomicSaveError {
    bool created;    // false: the file could not be created at all
    QString reason;  // the system's text
};

std::optional<AtomicSaveError> saveFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace tavrel
