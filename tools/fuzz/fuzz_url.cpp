// URLs: any text is split or refused, and once masked the password of a URL
// that splits reads back as "***".
#include "FuzzCheck.h"
#include "common/Secrets.h"
#include "platform/Inet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString url = fuzzcheck::text(data, size);
    common::maskSecrets(url);
    platform::URL_COMPONENTS parts;
    if (!platform::InternetCrackUrl(url, 0, parts) || parts.password.isEmpty()) return 0;
    platform::URL_COMPONENTS masked;
    // "***" may be longer than what it stands for: only a piece's length limit may refuse it.
    if (!platform::InternetCrackUrl(platform::maskUrlPasswords(url), 0, masked)) {
        fuzzcheck::require(platform::GetLastError() == platform::inet_err::InsufficientBuffer, "a masked URL splits");
        return 0;
    }
    fuzzcheck::require(masked.password == QStringLiteral("***"), "a URL's password is masked");
    fuzzcheck::require(masked.userName == parts.userName && masked.hostName == parts.hostName, "only the password changes");
    return 0;
}
