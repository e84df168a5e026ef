#pragma once
// Small conversions of the service: mass tolerances, time stamps with the
// computer's time-zone offset, size texts and a parameter set's server URL.
// Failures are written to the event log as Errors with no task.
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace tavrelsvc {

// The tolerance (its absolute value) in daltons for the unit, compared exactly:
// "PPM" (of mass, at 64-bit precision), "%" (of mass), "MMU" (1/1000 Da),
// anything else is daltons already; the last three are single precision.
// An overflow is logged as "(TVS1055) 6: Overflow" and gives no value.
std::optional<double> modGlobal_ToleranceInDaltons(float tolerance, const QString& unit, float mass);

// "yyyy-mm-ddThh:mm:ss" of the given local time followed by the computer's
// standard-time offset from UTC as ISO 8601 writes it: "+01:00" for a zone one
// hour ahead of UTC, "-05:30" for one five and a half hours behind.
QString modGlobal_IsoDateTimeNow(const QDateTime& when);

// The same with the time-zone bias given: minutes with UTC = local time + bias.
QString formatIsoDateTime(const QDateTime& when, int biasMinutes);

// Where modGlobal_IsoDateTimeNow reads the bias; empty restores the system's
// standard (daylight saving not applied) bias. Returns the previous source.
using TimeZoneBiasSource = std::function<int()>;
TimeZoneBiasSource setTimeZoneBiasSource(TimeZoneBiasSource source);
int systemStandardBiasMinutes();

// A file's or folder's size text as the 64-bit number the file_size column
// holds: trimmed, an optional "-" and then "+", a decimal number with up to
// four decimal places rounded half to even. Sizes of 2 GiB, 4 GiB and more
// stay whole. Empty, non-numeric and out-of-range text gives 0.
qint64 modGlobal_ParseSignedInt64(const QString& text);

// A parameter set names no server of its own: always "", and callers use
// BaseUrl.
QString modGlobal_GetParameterSetServerUrl(const QString& parameterSetLabel);

}  // namespace tavrelsvc
