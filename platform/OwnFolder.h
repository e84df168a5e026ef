#pragma once
// Whether a folder is this account's own: owned by it and writable by no other
// account (a single user's install, the demo). Only then may a program run
// what the folder names as this account (the service in the tray, a program
// that the settings hive associates with a file type): in a folder that other
// accounts write, such as a lab's shared program folder, one member could
// otherwise make the programs run a command of theirs as another member.
#include <QString>

namespace platform {

// The folder (a link to it is followed) is owned by the effective user, and
// neither others nor, unless it is the user's private group, its group may
// write it. False when it cannot be examined.
bool isOwnFolder(const QString& folder);

// The program folder is the user's own, and so is its settings hive (when
// there is one): the same test for the file, which a link never passes.
bool isOwnProgramFolder();

}  // namespace platform
