#pragma once
// What both programs' component probes decide the same way: which Sciex
// import library is usable and whether it brings its own options object,
// whether Analyst is installed, the Quellmark library's version text and
// where the Quellmark program is.
#include "platform/Error.h"
#include "platform/ShellAssoc.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <exception>
#include <optional>

namespace common {

// Runs fn, calls on a component's objects; any failure comes back as the
// platform::Error it raised (another exception as 440 "Automation error").
template <class Fn>
std::optional<platform::Error> attempt(Fn&& fn) {
    try {
        fn();
    } catch (const platform::Error& e) {
        return e;
    } catch (const std::exception& e) {
        return platform::Error(440, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return platform::Error(440, QStringLiteral("Automation error"));
    }
    return std::nullopt;
}

// Tried in this order under HKEY_LOCAL_MACHINE; Analyst is installed when one opens.
inline const QStringList AnalystRegistryKeys = {
    QStringLiteral("SOFTWARE\\PE Sciex\\Analyst\\1.4"),
    QStringLiteral("SOFTWARE\\Applied Biosystems/MDS SCIEX\\Analyst 1.3.1 Upgrade"),
    QStringLiteral("SOFTWARE\\Applied Biosystems/MDS SCIEX\\Analyst\\1.3"),
};
bool analystInstalled();

// The Sciex import library ("sorvex.dll") from 1.6 on, compared field by field
// ("1.10b3" is usable, "1.5b30" is not).
bool isSciexVersionUsable(const QString& version);
// A version of two parts around "b" whose build number is above 24, such as
// "2.0b25", carries its own options object.
bool sciexHasOwnOptions(const QString& version);

// The Quellmark library's version numbers, most significant first, joined with ".".
QString joinVersionNumbers(const QVariantList& numbers);

// The Quellmark program's file name: searched on PATH when no program is
// associated with ".rov" files, and joined to its folder to run it.
inline const QString QuellmarkProgramName = QStringLiteral("SorvexQuellmark.exe");

struct QuellmarkProgram {
    QString path;             // empty when no program was found
    bool associated = false;  // ".rov" files open with some program
};
// Both programs find the Quellmark program the same way: the program that
// ".rov" files open with (no such file is needed), whatever the length of
// its path; else SorvexQuellmark.exe on PATH; else none.
QuellmarkProgram findQuellmarkProgram(platform::AssociationsFor who = platform::AssociationsFor::User);

// What to set when no Quellmark program is found, said once by each probe.
QString quellmarkProgramHint(platform::AssociationsFor who = platform::AssociationsFor::User);

// The folder of a program's path: the path cut at its last "\" or "/".
QString folderOfProgram(const QString& programPath);

// The Quellmark program "SorvexQuellmark.exe" in the folder, joined with the
// separator the folder itself uses; the bare name for no folder.
QString quellmarkProgramPath(const QString& folder);

}  // namespace common
