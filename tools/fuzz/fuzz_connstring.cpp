// Connection strings: any text parses or is refused with an error, and once
// masked no password of a string that parses can be read from it.
#include "FuzzCheck.h"
#include "common/Secrets.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzcheck::text(data, size);
    const QString masked = common::maskSecrets(text);
    platform::OleDbConnectionString parsed;
    try {
        parsed = platform::OleDbConnectionString::parse(text);
    } catch (const platform::Error& e) {
        fuzzcheck::require(!e.description().isEmpty(), "a refusal says why");
        return 0;
    }
    for (const char* key : {"Password", "Pwd"}) {
        const QString secret = parsed.value(QString::fromLatin1(key));
        if (secret.isEmpty()) continue;
        try {
            const QString left = platform::OleDbConnectionString::parse(masked).value(QString::fromLatin1(key));
            fuzzcheck::require(left.startsWith(QStringLiteral("***")) || left.isEmpty(), "a password is masked");
        } catch (const platform::Error&) {
            fuzzcheck::require(false, "a masked connection string still parses");
        }
    }
    return 0;
}
