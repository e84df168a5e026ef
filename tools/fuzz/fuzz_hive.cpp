// The hive file: whatever it holds, reading it never fails badly, and what is
// read is written so that it reads back the same.
#include "FuzzCheck.h"
#include "platform/RegistryHive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::HiveKey top;
    QString error;
    if (!platform::parseHive(fuzzcheck::bytes(data, size), top, &error)) return 0;
    const QByteArray written = platform::serializeHive(top);
    platform::HiveKey again;
    fuzzcheck::require(platform::parseHive(written, again, &error), "a written hive reads back");
    fuzzcheck::require(platform::serializeHive(again) == written, "a written hive reads back the same");
    return 0;
}
