#include "common/ImportFilters.h"

namespace common {

const std::array<ImportFilterEntry, ImportFilterCount>& importFilterTable() {
    static const std::array<ImportFilterEntry, ImportFilterCount> table = {{
        {filtername::None, QString(), QString()},
        {filtername::Lcq, QStringLiteral(",,300,4000,1.4,1,1,0,0,0,,,,,"), QStringLiteral("TaskOptionsLcq")},
        {filtername::MassLynx, QString(), QStringLiteral("TaskOptionsMassLynx")},
        {filtername::Analyst, QStringLiteral("1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0"),
         QStringLiteral("TaskOptionsAnalyst")},
        {filtername::Voyager, QStringLiteral("False,0,0,1,1,1,0.7,1,0,False,10,100"),
         QStringLiteral("TaskOptionsVoyager")},
        {filtername::Quellmark, QStringLiteral(",0,0,0,,,1,0,0,0,1"), QStringLiteral("TaskOptionsQuellmark")},
        {filtername::TS2Sorvex, QStringLiteral("60,20,10,1"), QStringLiteral("TaskOptionsTS2Sorvex")},
    }};
    return table;
}

QString importFilterName(int index) {
    return index >= 0 && index < ImportFilterCount ? importFilterTable()[index].name : QString();
}

int importFilterIndex(const QString& name) {
    for (int i = 0; i < ImportFilterCount; ++i)
        if (importFilterTable()[i].name == name) return i;
    return -1;
}

std::optional<ImportFilterIndex> importFilterOf(const QString& name) {
    const int index = importFilterIndex(name);
    if (index < 0) return std::nullopt;
    return static_cast<ImportFilterIndex>(index);
}

QString builtInImportFilterOptions(int index) {
    return index >= 0 && index < ImportFilterCount ? importFilterTable()[index].builtInOptions : QString();
}

QString importFilterOptionsSetting(int index) {
    return index >= 0 && index < ImportFilterCount ? importFilterTable()[index].optionsSetting : QString();
}

}  // namespace common
