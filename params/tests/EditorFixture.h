#pragma once
// A program folder with a "server.dat" as the client stores it (one quoted
// record, CR LF), and an editor model reading it with a chosen server
// version. Shared by the model's tests and the page's.
#include "params/ParameterEditor.h"
#include "params/ServerData.h"
#include "platform/testsupport/TestSupport.h"

#include <QStringList>

namespace testsupport {

inline QByteArray serverDocument(const QStringList& lines) {
    return "\"" + lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n\"\r\n";
}

inline QStringList standardServerLines() {
    return {"[DB]", "MSDB", "SwissProt", "NCBInr", "",
            "[CLE]", "Trypsin", "Lys-C", "None", "",
            "[MODS]", "Carbamidomethyl (C)", "Oxidation (M)", "Phospho (ST)", "",
            "[HIDDEN_MODS]", "Acetyl (K)", "Oxidation (M)", "",
            "[TAXONOMY]", "All entries", ". . Homo sapiens (human)", "",
            "[INSTRUMENT]", "Default", "ESI-TRAP", "",
            "[QUANTITATION]", "None", "iTRAQ 4plex", "",
            "[OPTIONS]", "ReportNumberChoices=AUTO,10,20,50", ""};
}

// The texts of the messages, for comparing them in order.
inline QStringList texts(const tavrel::EditorMessages& messages) {
    QStringList out;
    for (const tavrel::EditorMessage& m : messages) out << m.text;
    return out;
}

class EditorHome {
public:
    EditorHome() { writeServerData(standardServerLines()); }

    void writeServerData(const QStringList& lines) const {
        writeFile(tavrel::serverDataPath(home.path()), serverDocument(lines));
    }
    QString file(const QString& name) const { return home.file(name); }
    QString path() const { return home.path(); }

    // The editor reads the version through this, so a test may change it.
    QString serverVersion = QStringLiteral("2.2.101");

    tavrel::ParameterEditor::Environment environment() {
        return {[this] { return home.path(); }, [this] { return serverVersion; }};
    }

    TempHome home;
};

}  // namespace testsupport
