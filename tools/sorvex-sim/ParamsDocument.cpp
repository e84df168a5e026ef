#include "Scenario.h"

namespace sorvexsim {

namespace {

// Plausible lists of a small search server; a scenario replaces them section
// by section.
QMap<QString, QStringList> defaultSections() {
    return {
        {"DB", {"SwissProt", "NCBIprot", "contaminants"}},
        {"CLE", {"Trypsin", "Trypsin/P", "Arg-C", "Asp-N", "Chymotrypsin", "Lys-C", "None"}},
        {"MODS",
         {"Acetyl (K)", "Acetyl (Protein N-term)", "Carbamidomethyl (C)", "Deamidated (NQ)", "Oxidation (M)",
          "Phospho (ST)", "Phospho (Y)"}},
        {"HIDDEN_MODS", {"Biotin (K)", "Methyl (DE)", "Nitro (Y)"}},
        {"TAXONOMY",
         {"All entries", ". . Homo sapiens (human)", ". . Mus musculus (house mouse)",
          ". . Saccharomyces cerevisiae (baker's yeast)"}},
        {"INSTRUMENT", {"Default", "ESI-QUAD-TOF", "ESI-TRAP", "MALDI-TOF-TOF", "ETD-TRAP"}},
        {"QUANTITATION", {"None", "iTRAQ 4plex", "TMT 6plex", "SILAC K+6 R+6"}},
        {"OPTIONS", {"ReportNumberChoices=AUTO,5,10,20,30,40,50"}},
    };
}

const QStringList kOrder = {"DB", "CLE", "MODS", "HIDDEN_MODS", "TAXONOMY", "INSTRUMENT", "QUANTITATION", "OPTIONS"};

}  // namespace

QByteArray parameterDocument(const Scenario& s) {
    if (s.paramsDocument) return *s.paramsDocument;
    QMap<QString, QStringList> sections = defaultSections();
    for (auto it = s.params.begin(); it != s.params.end(); ++it) {
        if (it.value())
            sections[it.key()] = *it.value();
        else
            sections.remove(it.key());
    }
    QStringList names;
    for (const QString& n : kOrder)
        if (sections.contains(n)) names.append(n);
    for (auto it = sections.begin(); it != sections.end(); ++it)
        if (!kOrder.contains(it.key())) names.append(it.key());

    QByteArray doc;
    for (const QString& n : names) {
        doc += "[" + n.toLatin1() + "]" + s.lineEnd;
        for (const QString& e : sections.value(n)) doc += e.toLatin1() + s.lineEnd;
        doc += s.lineEnd;
    }
    return doc;
}

}  // namespace sorvexsim
