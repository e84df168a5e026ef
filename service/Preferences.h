#pragma once
// The service's settings from section "Preferences", one process-wide value
// each, named as the stored values and holding the service's defaults until
// the settings loader fills them.
#include <QString>

namespace tavrelsvc {

inline QString BaseUrl;                  // server URL of tasks without their own
inline qint32 TimeOut = 3600;            // seconds a request may wait for the server
inline qint16 AccessType = 0;            // 0 system settings, 1 direct, 2 named proxy
inline QString Proxy;
inline qint32 Protocol = 1;              // HTTP/1.<Protocol>
inline QString PeakListRoot;             // the loader's default: ProgramFolder + "\qpl"
inline QString LcqPath;
inline QString ADOConnect;               // the loader's default: DefaultConnectionString
inline qint16 TimerTick = 10;
inline qint16 NoDataDelay = 10;
inline qint16 LockedOutDelay = 60;
inline qint16 MonitorActionDelay = 60;
inline qint16 FollowerActionDelay = 60;
inline qint16 TaskCheckInterval = 60;
inline QString SorvexUserName;
inline QString SorvexPassword;           // in clear once decoded
inline QString ProxyUserName;
inline QString ProxyPassword;
inline QString WebUserName;
inline QString WebPassword;
inline qint16 TaskOptionsAnalystMerge = 0;

}  // namespace tavrelsvc
