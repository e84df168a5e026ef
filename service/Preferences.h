#pragma once
// The service's settings from section "Preferences", one process-wide value
// each, named as the stored values: the program's one common::Preferences,
// holding the defaults until the settings loader fills it.
#include "common/Preferences.h"

#include <QString>

namespace tavrelsvc {

using namespace common::preferencevalues;
inline qint16 TaskOptionsAnalystMerge = 0;

}  // namespace tavrelsvc
