#include "common/Secrets.h"

#include "platform/Inet.h"
#include "platform/OleDbConnectionString.h"

namespace common {

QString maskSecrets(const QString& text) {
    return platform::OleDbConnectionString::maskPasswords(platform::maskUrlPasswords(text));
}

}  // namespace common
