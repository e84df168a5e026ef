#include "filteropts/OptionString.h"

#include "common/TaskDbTables.h"
#include "filteropts/NumberText.h"

#include <algorithm>
#include <cmath>

namespace filteropts {

namespace {

bool fitsForm(const FieldSpec& field, const QString& text) {
    switch (field.form) {
        case ValueForm::Number: return text.isEmpty() || startsWithNumber(text);
        case ValueForm::Code: return isNumber(text);
        case ValueForm::ListIndex: {
            if (!isNumber(text)) return false;
            const double index = std::nearbyint(readNumber(text));
            return index >= 0 && index < field.listSize;
        }
        case ValueForm::CheckBox: {
            if (!isNumber(text)) return false;
            const double value = readNumber(text);
            return value == 0 || value == 1;
        }
        case ValueForm::YesNo: return readYesNo(text).has_value();
        case ValueForm::Path:
        case ValueForm::Letters:
        case ValueForm::Text: return true;
    }
    return true;
}

}  // namespace

QStringList splitOptions(int filter, const QString& text) {
    return layoutOf(filter).split ? text.split(QLatin1Char(',')) : QStringList{text};
}

QString composeOptions(int filter, const QStringList& fields) {
    const qsizetype count = layoutOf(filter).fields.size();
    QStringList all = fields.mid(0, count);
    while (all.size() < count) all.append(QString());
    return all.join(QLatin1Char(','));
}

QString fieldText(int filter, int field, const QString& text) {
    return fitsForm(layoutOf(filter).fields.at(field), text) ? text : fieldFallback(filter, field);
}

int fieldIndex(int filter, int field, const QString& text) {
    return static_cast<int>(std::nearbyint(readNumber(fieldText(filter, field, text))));
}

bool fieldYesNo(int filter, int field, const QString& text) {
    return readYesNo(fieldText(filter, field, text)).value_or(false);
}

double fieldNumber(int filter, int field, const QString& text) { return readNumber(fieldText(filter, field, text)); }

OptionReading readOptions(int filter, const QString& text) {
    const LayoutSpec& layout = layoutOf(filter);
    QStringList raw = splitOptions(filter, text);
    OptionReading reading;
    const bool foreign = layout.colonInFirstFieldIsForeign && raw.first().contains(QLatin1Char(':'));
    if (raw.size() < layout.wholeDefaultBelow || foreign) {
        raw = splitOptions(filter, builtInOptions(filter));
        reading.replaced = true;
    }
    reading.fieldCount = static_cast<int>(raw.size());
    reading.outOfDate = reading.replaced || raw.size() < splitOptions(filter, builtInOptions(filter)).size();
    for (int i = 0; i < layout.fields.size(); ++i) {
        const FieldSpec& field = layout.fields[i];
        bool reached = raw.size() >= std::max(field.readFrom, i + 1);
        if (reached && field.requiresTicked >= 0)
            reached = fieldIndex(filter, field.requiresTicked, raw[field.requiresTicked]) == 1;
        reading.given.append(reached);
        reading.fields.append(reached ? fieldText(filter, i, raw[i]) : fieldCompletion(filter, i));
    }
    return reading;
}

FilterOptions readFilterOptions(int filter, const QString& text) {
    const QStringList builtIn = splitOptions(filter, serviceBuiltInOptions(filter));
    const QStringList fields = text.isEmpty() ? QStringList() : splitOptions(filter, text);
    if (fields.size() < builtIn.size()) return {builtIn, true};
    return {fields, false};
}

int filterOptionsCapacity() {
    for (const common::ColumnDef& column : common::taskDbTable(common::kTasksTable).columns)
        if (column.name == QLatin1String("filter_options")) return column.length;
    return 0;
}

QString checkOptionsLength(int filter, const QString& text) {
    const int capacity = filterOptionsCapacity();
    if (text.size() <= capacity) return {};
    return QStringLiteral("The options of \"%1\" are %2 characters long; a task can hold at most %3")
        .arg(filterDisplayName(filter))
        .arg(text.size())
        .arg(capacity);
}

QString composeLibraryOptions(const LibraryOptions& options) {
    return options.version + QLatin1Char(':') + options.values;
}

std::optional<LibraryOptions> splitLibraryOptions(const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0) return std::nullopt;
    return LibraryOptions{text.left(colon), text.mid(colon + 1)};
}

}  // namespace filteropts
