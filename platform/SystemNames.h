#pragma once
// The names of this computer and of the user running the program. The
// computer's can be set through the environment (COMPUTERNAME) so that tests
// run several "computers" on one machine; the user's is always the account's.
#include <QString>

namespace platform {

// COMPUTERNAME when set, else the host name up to its first ".", upper-cased
// and cut to the 15 characters a computer name may have.
QString computerName();

// The login name of the process's account (its number when it has none).
QString userName();

}  // namespace platform
