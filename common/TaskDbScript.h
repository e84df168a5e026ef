#pragma once
// The task database's tables as an SQL script, for an administrator who makes
// them by hand (psql, sqlite3) instead of through the client's preferences.
// The script is made from the same table definitions the client creates the
// tables from, so the two never differ.
#include <QString>

namespace common {

// The file name of the shipped script of that engine.
QString taskDbScriptFileName(bool postgres);

// The whole script: a comment, then per table one CREATE TABLE statement
// and its CREATE INDEX statements, each ended by ";", and a blank line.
QString taskDbScript(bool postgres);

}  // namespace common
