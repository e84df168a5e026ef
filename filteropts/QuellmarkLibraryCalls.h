#pragma once
// What the options dialog asks of the Quellmark automation library: the data
// formats it reads, and the processing-options object behind the file
// buttons of the Quellmark tab. The options file's content is the library's
// business; this program never reads or writes it itself.
#include "platform/AutomationComponents.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace filteropts {

struct QuellmarkDataFormat {
    QString label;
    qint32 code = 0;
};

// The library's data formats in its own order, asked in the given session;
// empty when the library cannot be asked.
QList<QuellmarkDataFormat> quellmarkDataFormats(
    const std::shared_ptr<platform::automation::QuellmarkAgentMgr>& session);

// The processing-options object held from "Edit ..." on a file until the
// path text changes or the dialog closes. Edits made in the library's sheet
// live only in it until they are saved to a file.
class QuellmarkOptionsFile {
public:
    // The path text changed: the object and its edits go.
    void drop() { held_.reset(); }

    // An object with settings is held: one whose MS/MS precursor tolerance can be read.
    bool isHeld() const;

    // Makes sure an object loaded from the file is held; one already held is
    // kept as it is, with its edits. When the file cannot be loaded nothing is
    // held and the error comes back, so that no object with the library's
    // default settings is ever saved over the user's file.
    std::optional<platform::Error> load(const QString& path);

    // The library's settings sheet on the held object, titled with the file's
    // name; a failure of the library is passed over.
    void showSheet(const QString& fileName);

    // Writes the held object's settings to the file; the error when it fails.
    std::optional<platform::Error> saveTo(const QString& path);

private:
    std::shared_ptr<platform::automation::QuellmarkProcessingOptions> held_;
};

}  // namespace filteropts
