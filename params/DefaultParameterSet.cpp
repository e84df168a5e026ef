#include "params/DefaultParameterSet.h"

#include "params/ParameterSet.h"
#include "params/ServerData.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel {

QString defaultParameterSetPath(const QString& programFolder) {
    return QDir(programFolder).filePath(kDefaultParameterFileName);
}

QList<ParameterLine> defaultParameterLines() {
    namespace K = ParamKey;
    const std::pair<QLatin1StringView, const char*> lines[] = {
        {K::COM, "<taskname> (<parameters>), submitted from Tavrel on <localhost>"},
        {K::SEG, ""},
        {K::TOL, "1.2"},
        {K::TOLU, "Da"},
        {K::ITOL, "0.6"},
        {K::ITOLU, "Da"},
        {K::PFA, "1"},
        {K::DB, "MSDB"},
        {K::MODS, ""},
        {K::MASS, "Monoisotopic"},
        {K::CLE, "Trypsin"},
        {K::SEARCH, "MIS"},
        {K::USERNAME, "Sorvex Tavrel"},
        {K::USEREMAIL, ""},
        {K::CHARGE, "2+ and 3+"},
        {K::REPORT, "0"},
        {K::FORMAT, "Sequest (.DTA)"},
        {K::IT_MODS, "Oxidation (M)"},
        {K::TAXONOMY, "All entries"},
        {K::INSTRUMENT, "Default"},
    };
    QList<ParameterLine> out;
    for (const auto& [key, value] : lines)
        out.append(ParameterLine{QString(key), QString::fromLatin1(value), int(out.size()) + 1});
    return out;
}

namespace {

// The built-in database is one that servers offered long ago; a server that
// lacks it would have the editor warn at every start of a new installation
// that it is not available. Such a server's first database stands in for it.
void takeServerDatabase(QList<ParameterLine>& lines, const QString& programFolder) {
    const ServerDataRead server = readServerData(serverDataPath(programFolder));
    if (!server.ok()) return;
    for (const ServerDataSection& section : server.sections) {
        if (section.head != QLatin1String("[DB]") || section.entries.isEmpty()) continue;
        for (ParameterLine& line : lines)
            if (line.key == ParamKey::DB && !section.entries.contains(line.value)) line.value = section.entries.first();
        return;
    }
}

}  // namespace

std::optional<ParameterFileError> frmMain_CreateDefaultParameterSet(const QString& programFolder) {
    const QString path = defaultParameterSetPath(programFolder);
    if (QFileInfo::exists(path)) return std::nullopt;
    QList<ParameterLine> lines = defaultParameterLines();
    takeServerDatabase(lines, programFolder);
    return writeParameterFileLines(path, lines);
}

}  // namespace tavrel
