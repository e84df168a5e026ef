// Command lines: any text splits into arguments or is refused with a reason,
// and arguments written back with quotes split into the same arguments.
#include "FuzzCheck.h"
#include "platform/CommandLine.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const platform::SplitCommand split = platform::splitCommandLine(fuzzcheck::text(data, size));
    if (!split.ok()) {
        fuzzcheck::require(!split.error.isEmpty() && split.arguments.isEmpty(), "a refusal says why");
        return 0;
    }
    QStringList quoted;
    for (QString argument : split.arguments)
        quoted << QLatin1Char('\'') + argument.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
    const platform::SplitCommand again = platform::splitCommandLine(quoted.join(QLatin1Char(' ')));
    fuzzcheck::require(again.ok() && again.arguments == split.arguments, "quoted arguments split back the same");
    return 0;
}
