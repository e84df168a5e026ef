#include "tools/standins/QuellmarkFiles.h"

#include "tools/standins/FixtureLines.h"
#include "tools/standins/StandinLog.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace standins {

namespace {

QuellmarkScanData scanOf(const QString& rest) {
    const QStringList v = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QuellmarkScanData scan;
    scan.id = v.value(0).toInt();
    scan.seconds = v.value(1).toDouble();
    scan.precursor = v.value(2);
    scan.charge = v.value(3).toInt();
    for (const QString& peak : v.mid(4)) scan.peaks.append({peak.section(QLatin1Char(':'), 0, 0), peak.section(QLatin1Char(':'), 1)});
    return scan;
}

}  // namespace

QuellmarkData readQuellmarkData(const QString& path) {
    const auto lines = readFixture(path, kQuellmarkHeader);
    if (!lines) throw platform::Error(-2147467259, QStringLiteral("Not a Quellmark data file: ") + path);
    const QString folder = QFileInfo(path).absolutePath();
    QuellmarkData data;
    for (const QString& line : *lines) {
        const QString key = keywordOf(line), rest = restOf(line);
        if (key == u"samples-fail") data.countFailure = errorOf(rest);
        else if (key == u"open-fail") data.openFailure = errorOf(rest);
        else if (key == u"program-exit") {
            data.programExit = rest.section(QLatin1Char(' '), 0, 0).toInt();
            if (rest.contains(QLatin1Char(' '))) data.programMessage = rest.section(QLatin1Char(' '), 1);
        } else if (key == u"program-delay") {
            data.programDelayMs = rest.toInt();
        } else if (key == u"sample") {
            data.samples.append(QuellmarkSampleData());
            data.samples.last().name = rest;
        }
        if (data.samples.isEmpty()) continue;
        QuellmarkSampleData& s = data.samples.last();
        if (key == u"comment") s.comment = rest;
        else if (key == u"scan") s.scans.append(scanOf(rest));
        else if (key == u"status") s.status = rest.trimmed();
        else if (key == u"hold") s.holdFile = folder + QLatin1Char('/') + rest.trimmed();
        else if (key == u"export-fail") s.exportFailure = errorOf(rest);
    }
    return data;
}

QList<QVariantMap> QuellmarkProjectFile::statuses() const { return statusesOf(streams.value(2)).value_or(QList<QVariantMap>()); }

QString statusesText(const QList<QVariantMap>& statuses) {
    QJsonArray array;
    for (const QVariantMap& entry : statuses) array.append(QJsonObject::fromVariantMap(entry));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

std::optional<QList<QVariantMap>> statusesOf(const QString& text) {
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    if (!doc.isArray()) return std::nullopt;
    QList<QVariantMap> out;
    for (const QJsonValue& entry : doc.array()) out.append(entry.toObject().toVariantMap());
    return out;
}

std::optional<QuellmarkProjectFile> readQuellmarkProject(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root.value(QStringLiteral("format")).toString() != kQuellmarkProjectFormat) return std::nullopt;
    QuellmarkProjectFile project;
    project.controller = root.value(QStringLiteral("controller")).toInt();
    project.kind = root.value(QStringLiteral("kind")).toInt();
    project.sources = root.value(QStringLiteral("sources")).toString();
    const QJsonObject streams = root.value(QStringLiteral("streams")).toObject();
    for (auto it = streams.begin(); it != streams.end(); ++it) project.streams.insert(it.key().toInt(), it.value().toString());
    for (const QJsonValue& entry : root.value(QStringLiteral("imports")).toArray())
        project.imports.append(entry.toObject().toVariantMap());
    return project;
}

bool writeQuellmarkProject(const QString& path, const QuellmarkProjectFile& project) {
    QJsonObject root;
    root.insert(QStringLiteral("format"), kQuellmarkProjectFormat);
    root.insert(QStringLiteral("controller"), project.controller);
    root.insert(QStringLiteral("kind"), project.kind);
    root.insert(QStringLiteral("sources"), project.sources);
    QJsonObject streams;
    for (auto it = project.streams.begin(); it != project.streams.end(); ++it)
        streams.insert(QString::number(it.key()), it.value());
    root.insert(QStringLiteral("streams"), streams);
    QJsonArray imports;
    for (const QVariantMap& entry : project.imports) imports.append(QJsonObject::fromVariantMap(entry));
    root.insert(QStringLiteral("imports"), imports);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QJsonDocument(root).toJson());
    return file.commit();
}

}  // namespace standins
