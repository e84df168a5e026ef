#include "convert/ImportQuellmarkOptions.h"

#include "common/UncName.h"
#include "common/VersionText.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"

#include <QRegularExpression>

namespace tavrelsvc {

namespace {

using namespace filteropts;
using filteropts::quellmark::Field;

int indexOf(const QuellmarkOptions& o, Field field) { return fieldIndex(kQuellmark, field, o.fields.value(field)); }

bool atLeast(const QString& version, const char* than) { return common::isVersionAtLeast(version, QLatin1String(than)); }

constexpr qint16 kQpl = 0, kText = 1, kMzData = 3;
constexpr qint16 kMinutes = 4, kSeconds = 3;

}  // namespace

QString QuellmarkOptions::optionsFile() const {
    return common::modUncName_GetLocalPathFromUnc(fields.value(quellmark::OptionsPath));
}

QString QuellmarkOptions::dataFormat() const {
    return fieldText(kQuellmark, quellmark::DataFormat, fields.value(quellmark::DataFormat)).trimmed();
}

int QuellmarkOptions::dataFormatCode() const { return indexOf(*this, quellmark::DataFormat); }

bool QuellmarkOptions::mergeSamples() const { return yesNoOf(fields.value(quellmark::MergeMultipleSamples)); }

int QuellmarkOptions::rangeUnits() const { return indexOf(*this, quellmark::RangeUnits); }

int QuellmarkOptions::peakListFormat() const { return indexOf(*this, quellmark::PeakListFormat); }

bool QuellmarkOptions::saveProject() const { return fields.value(quellmark::ProjectSave).trimmed() == u"1"; }

QString QuellmarkOptions::quantitation() const {
    return fields.size() > quellmark::QuantHits ? fields.value(quellmark::QuantHits) : QStringLiteral("-1");
}

bool QuellmarkOptions::snRatioAsIntensity() const {
    return fields.size() > quellmark::IntensityType && fields.value(quellmark::IntensityType) == u"False";
}

QuellmarkOptions readQuellmarkOptions(const QString& filterOptions) {
    const FilterOptions read = readFilterOptions(kQuellmark, filterOptions);
    return QuellmarkOptions{read.fields, read.replaced};
}

bool quellmarkFormatIsFolder(int code) {
    for (int folderCode : {2, 5, 6, 9, 12, 13})
        if (code == folderCode) return true;
    return false;
}

QString quellmarkPeakListExtension(const QuellmarkOptions& options) {
    switch (options.peakListFormat()) {
    case 1: return QStringLiteral("txt");
    case 2: return QStringLiteral("mzData");
    default: return QStringLiteral("qpl");
    }
}

QString quellmarkServerVersion(const QByteArray& reply) {
    const QString text = QString::fromLatin1(reply);
    const qsizetype at = text.indexOf(QStringLiteral("Version"));
    if (at < 0) return QString();
    QString version = text.mid(at + 8);
    const qsizetype end = version.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (end >= 0) version.truncate(end);
    return version.trimmed();
}

void applyQuellmarkFormatOptions(platform::automation::QuellmarkPeakListFormatOptions& f, const QuellmarkOptions& o,
                                 const QString& lib, const QString& server) {
    const bool lib2 = atLeast(lib, "2"), lib22 = atLeast(lib, "2.2");
    // Servers after 2.1.1 take charges together and want the scans parameter.
    const bool serverAfter211 = atLeast(server, "2.1.2");
    f.setFormat(kQpl);
    f.setProcessingOptionsHeader(true);
    f.setTitleTimeUnits(kMinutes);
    f.setTitleIncludeScanLabel(true);
    f.setTitleIncludeDataSourceName(true);
    if (lib2) {
        f.setTitlePrefixPeakListNumber(true);
        f.setPeptideIonsMassType(QVariant::fromValue<qint16>(0));
        f.setFragmentIonsMassType(QVariant::fromValue<qint16>(0));
        f.setSeparateMultiPrecursorCharges(!serverAfter211);
        f.setAddQPLScansParameter(serverAfter211);
    } else {
        f.setDechargeFragmentIons(false);
    }
    if (o.rangeUnits() == 0) f.setTitleTimeUnits(kSeconds);
    if (o.peakListFormat() == 1) f.setFormat(kText);
    if (o.peakListFormat() == 2) f.setFormat(kMzData);
    if (lib2) {
        f.setPeptideIonsMassType(o.msOutput());
        f.setFragmentIonsMassType(o.msmsOutput());
    } else if (readNumber(o.msmsOutput()) == 1) {
        f.setDechargeFragmentIons(true);
    }
    if (lib22) {
        f.setAddQPLRawScansParameter(false);
        if (atLeast(server, "2.3")) f.setAddQPLRawScansParameter(true);
        f.setQPLUserParams(true);
        if (server.split(QLatin1Char('.')).size() >= 3) f.setQPLSeparateRawFileParams(atLeast(server, "2.3.2"));
        f.setUseSNRatioAsIntensity(false);
        if (o.snRatioAsIntensity()) f.setUseSNRatioAsIntensity(true);
    }
}

}  // namespace tavrelsvc
