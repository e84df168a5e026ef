#include "taskeditor/DataFileList.h"

#include "common/ImportFilters.h"

#include <QFileInfo>
#include <QSet>

namespace tavrel {

QString dataFileDialogFilter(const QString& f) {
    namespace name = common::filtername;
    if (f == name::Lcq) return QStringLiteral("ThermoFinnigan RAW files (*.RAW)|*.RAW");
    if (f == name::MassLynx) return QStringLiteral("Masslynx sample lists (*.SPL)|*.SPL");
    if (f == name::Analyst) return QStringLiteral("Analyst WIFF files (*.WIFF)|*.WIFF");
    if (f == name::Voyager) return QStringLiteral("Data Explorer files (*.dat;*.ms;*.t2d)|*.dat;*.ms;*.t2d");
    if (f == name::Quellmark) return QStringLiteral("Any supported format (*.*)|*.*");
    if (f == name::TS2Sorvex) return {};
    return QStringLiteral("ASCII peak list files (*.*)|*.*");
}

QString qtFileFilter(const QString& dialogFilter) {
    const QString description = dialogFilter.section(QLatin1Char('|'), 0, 0);
    QStringList patterns;
    QSet<QString> seen;
    for (const QString& p : dialogFilter.section(QLatin1Char('|'), 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        // "*.*" is every file, also one without an extension.
        const QString base = p == QLatin1String("*.*") ? QStringLiteral("*") : p;
        for (const QString& variant : {base, base.toLower(), base.toUpper()})
            if (!seen.contains(variant)) {
                seen.insert(variant);
                patterns << variant;
            }
    }
    // The description's own parenthesised patterns give way to the full list.
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    const QString text = (open > 0 ? description.left(open) : description + QLatin1Char(' ')).trimmed();
    return text + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

bool chosenNamesFit(const QStringList& paths) {
    if (paths.size() <= 1) return paths.value(0).size() <= kChosenNamesMaxLength;
    qsizetype length = QFileInfo(paths.first()).absolutePath().size();
    for (const QString& p : paths) length += 1 + QFileInfo(p).fileName().size();
    return length <= kChosenNamesMaxLength;
}

QStringList descriptorItems(const QString& descriptorList) {
    return descriptorList.split(QChar(0), Qt::SkipEmptyParts);
}

}  // namespace tavrel
