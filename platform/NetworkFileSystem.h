#pragma once
// Whether a file lies on a network file system, where file locks of one
// computer do not hold against the writers of another.
#include <QString>

namespace platform {

// The name of the network file system of that kind ("nfs", "cifs" ...), empty
// for a local one. The kind is the file system's magic number (statfs).
QString networkFileSystemName(quint64 kind);

// The same for the file system that holds the path (or its nearest existing
// folder); empty when local or unknown.
QString networkFileSystemOf(const QString& path);

}  // namespace platform
