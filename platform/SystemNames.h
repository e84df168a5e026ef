#pragma once
// The names of this computer and of the user running the program. Both can be
// set through the environment (COMPUTERNAME, USERNAME) so that tests run
// several "computers" on one machine.
#include <QString>

namespace platform {

// COMPUTERNAME when set, else the host name up to its first ".", upper-cased
// and cut to the 15 characters a computer name may have.
QString computerName();

// USERNAME when set, else the login name of the process's user.
QString userName();

}  // namespace platform
