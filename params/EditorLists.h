#pragma once
// The editor's fixed lists and the report choices built from the server's
// "[OPTIONS]" lines.
#include <QStringList>

namespace tavrel {

QStringList chargeEntries();         // 23 entries, "8-" .. "8+"
inline constexpr int kChargeReset = 12;  // "1+"
inline constexpr int kChargeFallback = 11;  // "Mr", for a charge the list does not hold
QStringList formatEntries();         // 9 peak-list formats, "Sorvex generic" first
QStringList toleranceUnitEntries();  // "Da", "mmu", "%", "ppm"
QStringList ionToleranceUnitEntries();  // "Da", "mmu"
QStringList numberEntries(int last);    // "0" .. last

// The "Report top ... hits" choices: from the first "[OPTIONS]" line whose
// lower-cased text holds "reportnumberchoices", else the built-in
// AUTO,5,10,20,30,40,50. Each choice is the number it starts with, 0 shown
// as "AUTO".
QStringList reportChoices(const QStringList& optionLines);

inline const QString kNoQuantitation = QStringLiteral("None");

}  // namespace tavrel
