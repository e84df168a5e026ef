#include "params/EditorLists.h"

#include "common/ServerReplies.h"

namespace tavrel {

QStringList chargeEntries() {
    return {"8-", "7-", "6-", "5-", "4-", "3-", "2-, 3- and 4-", "2- and 3-", "2-", "1-, 2- and 3-", "1-", "Mr",
            "1+", "1+, 2+ and 3+", "2+", "2+ and 3+", "2+, 3+ and 4+", "3+", "4+", "5+", "6+", "7+", "8+"};
}

QStringList formatEntries() {
    return {"Sorvex generic",    "Sequest (.DTA)", "Finnigan (.ASC)", "Micromass (.PKL)", "PerSeptive (.PKS)",
            "Sciex API III",     "Bruker (.XML)",  "mzData (.XML)",   "mzML (.mzML)"};
}

QStringList toleranceUnitEntries() { return {"Da", "mmu", "%", "ppm"}; }
QStringList ionToleranceUnitEntries() { return {"Da", "mmu"}; }

QStringList numberEntries(int last) {
    QStringList entries;
    for (int i = 0; i <= last; ++i) entries << QString::number(i);
    return entries;
}

QStringList reportChoices(const QStringList& optionLines) {
    static const QString key = QStringLiteral("reportnumberchoices");
    QStringList raw;
    for (const QString& line : optionLines) {
        if (!line.toLower().contains(key)) continue;
        // Whatever follows the key's length, "=" included, stays in front
        // of the first choice; reading the leading number turns it into 0.
        raw = line.mid(key.size()).split(u',');
        break;
    }
    if (raw.size() < 2) raw = QStringLiteral("AUTO,5,10,20,30,40,50").split(u',');
    QStringList choices;
    for (const QString& choice : raw) {
        const double number = common::leadingNumber(choice);
        choices << (number == 0 ? QStringLiteral("AUTO") : QString::number(number));
    }
    return choices;
}

}  // namespace tavrel
