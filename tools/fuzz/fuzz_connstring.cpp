// Connection strings: any text parses or is refused with an error, and once
// masked no password can be read from it.
#include "FuzzCheck.h"
#include "common/Secrets.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzcheck::text(data, size);
    const QString masked = common::maskSecrets(text);
    try {
        platform::OleDbConnectionString::parse(text);
    } catch (const platform::Error& e) {
        fuzzcheck::require(!e.description().isEmpty(), "a refusal says why");
    }
    // Whatever a masked text still reads as, its passwords are masked.
    platform::OleDbConnectionString left;
    try {
        left = platform::OleDbConnectionString::parse(masked);
    } catch (const platform::Error&) {
        return 0;
    }
    for (const char* key : {"Password", "Pwd"}) {
        const QString value = left.value(QString::fromLatin1(key));
        fuzzcheck::require(value.isEmpty() || value.startsWith(QStringLiteral("***")), "a password is masked");
    }
    return 0;
}
