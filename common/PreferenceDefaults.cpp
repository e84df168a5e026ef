#include "common/PreferenceDefaults.h"

namespace common {

QString builtInImportFilterOptions(int filter) {
    static const char* const builtIn[ImportFilterCount] = {
        "",
        ",,300,4000,1.4,1,1,0,0,0,,,,,",
        "",
        "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0",
        "False,0,0,1,1,1,0.7,1,0,False,10,100",
        ",0,0,0,,,1,0,0,0,1",
        "60,20,10,1",
    };
    return filter >= 0 && filter < ImportFilterCount ? QString::fromLatin1(builtIn[filter]) : QString();
}

QString defaultPeakListRoot(const QString& programFolder) { return programFolder + QStringLiteral("/qpl"); }

QList<PreferenceDefault> preferenceDefaults(const QString& programFolder, const QString& defaultConnectionString) {
    using K = PreferenceKind;
    const QString empty;
    auto i16 = [](int v) { return QVariant::fromValue(static_cast<qint16>(v)); };
    auto i32 = [](int v) { return QVariant::fromValue(static_cast<qint32>(v)); };
    return {
        {QStringLiteral("BaseUrl"), K::Text, empty},
        {QStringLiteral("TimeOut"), K::Long, i32(3600)},
        {QStringLiteral("AccessType"), K::Integer, i16(0)},
        {QStringLiteral("Proxy"), K::Text, empty},
        {QStringLiteral("Protocol"), K::Long, i32(1)},
        {QStringLiteral("LcqPath"), K::Text, empty},
        {QStringLiteral("PeakListRoot"), K::Text, defaultPeakListRoot(programFolder)},
        {QStringLiteral("ADOConnect"), K::Text, defaultConnectionString},
        {QStringLiteral("TimerTick"), K::Integer, i16(10)},
        {QStringLiteral("NoDataDelay"), K::Integer, i16(10)},
        {QStringLiteral("LockedOutDelay"), K::Integer, i16(60)},
        {QStringLiteral("MonitorActionDelay"), K::Integer, i16(60)},
        {QStringLiteral("FollowerActionDelay"), K::Integer, i16(60)},
        {QStringLiteral("TaskCheckInterval"), K::Integer, i16(60)},
        {QStringLiteral("SorvexUserName"), K::Text, empty},
        {QStringLiteral("SorvexPassword"), K::Password, empty},
        {QStringLiteral("ProxyUserName"), K::Text, empty},
        {QStringLiteral("ProxyPassword"), K::Password, empty},
        {QStringLiteral("WebUserName"), K::Text, empty},
        {QStringLiteral("WebPassword"), K::Password, empty},
        {QStringLiteral("TaskOptionsLcq"), K::Text, builtInImportFilterOptions(1)},
        {QStringLiteral("TaskOptionsMassLynx"), K::Text, builtInImportFilterOptions(2)},
        {QStringLiteral("TaskOptionsAnalyst"), K::Text, builtInImportFilterOptions(3)},
        {QStringLiteral("TaskOptionsVoyager"), K::Text, builtInImportFilterOptions(4)},
        {QStringLiteral("TaskOptionsQuellmark"), K::Text, builtInImportFilterOptions(5)},
        {QStringLiteral("TaskOptionsTS2Sorvex"), K::Text, builtInImportFilterOptions(6)},
    };
}

}  // namespace common
