#pragma once
// Values of the client program that its start-up, main window and
// preferences dialog share (the rest of the client's globals are in
// clientcommon/Globals.h and clientcommon/LoadPreferences.h).
#include <QString>

namespace tavrel {

// The preferences dialog tells its opener how it ended: PreferencesCancelled
// is true unless Save wrote every value; ExitRequested is true when Save asked
// for the client to end (the preferences changed, both programs must restart).
inline bool PreferencesCancelled = true;
inline bool ExitRequested = false;

// The temporary folder, without a trailing separator.
inline QString TempFolder;

// Parameter sets live in ".par" files (always, here).
inline bool ParameterSetsInFiles = true;

}  // namespace tavrel
