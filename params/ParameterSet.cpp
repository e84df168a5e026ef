#include "params/ParameterSet.h"

namespace tavrel {

namespace {

class LineList {
public:
    explicit LineList(QList<ParameterLine>& out) : out_(out) {}
    void add(QLatin1StringView key, const QString& value) {
        out_.append(ParameterLine{QString(key), value, static_cast<int>(out_.size()) + 1});
    }

private:
    QList<ParameterLine>& out_;
};

std::optional<QString> entryWithComma(const QStringList& entries) {
    for (const QString& entry : entries) {
        if (entry.contains(u',')) return entry;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ParameterFileError> parameterFileLines(const ParameterSetValues& v, const QString& path,
                                                     QList<ParameterLine>& out) {
    out.clear();
    const std::pair<QLatin1StringView, const QStringList*> lists[] = {
        {ParamKey::DB, &v.db}, {ParamKey::MODS, &v.mods}, {ParamKey::IT_MODS, &v.itMods}};
    for (const auto& [key, entries] : lists) {
        if (auto bad = entryWithComma(*entries)) {
            return ParameterFileError{
                ParameterFileError::Kind::NotWritable, path,
                QStringLiteral("Cannot save parameter file %1: the %2 entry \"%3\" holds \",\", which separates "
                               "the entries of the list")
                    .arg(path, QString(key), *bad)};
        }
    }

    LineList l(out);
    l.add(ParamKey::COM, v.com);
    l.add(ParamKey::SEG, v.seg);
    l.add(ParamKey::TOL, v.tol);
    l.add(ParamKey::TOLU, v.tolu);
    if (v.msms) {
        l.add(ParamKey::ITOL, v.itol);
        l.add(ParamKey::ITOLU, v.itolu);
    }
    l.add(ParamKey::PFA, v.pfa);
    l.add(ParamKey::DB, joinParameterList(v.db));
    l.add(ParamKey::MODS, joinParameterList(v.mods));
    l.add(ParamKey::MASS, QString(v.massAverage ? ParamValue::Average : ParamValue::Monoisotopic));
    l.add(ParamKey::CLE, v.cle);
    l.add(ParamKey::SEARCH, QString(v.msms ? ParamValue::Mis : ParamValue::Pmf));
    if (!v.serverAtLeast2_2) l.add(ParamKey::REPTYPE, QString(v.msms ? ParamValue::Peptide : ParamValue::Protein));
    l.add(ParamKey::USERNAME, v.username);
    l.add(ParamKey::USEREMAIL, v.useremail);
    l.add(ParamKey::CHARGE, v.charge);
    l.add(ParamKey::REPORT, v.report);
    if (v.msms) l.add(ParamKey::FORMAT, v.format);
    l.add(ParamKey::IT_MODS, joinParameterList(v.itMods));
    l.add(ParamKey::TAXONOMY, v.taxonomy);
    if (v.msms) l.add(ParamKey::INSTRUMENT, v.instrument);
    if (v.msms && v.pepIsotopeError.index > 0) l.add(ParamKey::PEP_ISOTOPE_ERROR, v.pepIsotopeError.text);
    if (v.decoy) l.add(ParamKey::DECOY, QString(ParamValue::FlagSet));
    if (v.msms && v.errorTolerant) l.add(ParamKey::ERRORTOLERANT, QString(ParamValue::FlagSet));
    if (v.msms && v.quantitation.index > 0) l.add(ParamKey::QUANTITATION, v.quantitation.text);
    return std::nullopt;
}

std::optional<ParameterFileError> writeParameterFile(const QString& path, const ParameterSetValues& values) {
    QList<ParameterLine> lines;
    if (auto error = parameterFileLines(values, path, lines)) return error;
    return writeParameterFileLines(path, lines);
}

}  // namespace tavrel
