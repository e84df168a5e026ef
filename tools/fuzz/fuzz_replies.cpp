// The server's replies: login, permission, user list, search status and the
// result page are read from any text without failing badly; a result page
// that cannot be read says so with an error, nothing else.
#include "FuzzCheck.h"
#include "common/ServerReplies.h"
#include "platform/Error.h"
#include "search/SearchPoll.h"
#include "search/SearchResults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply = fuzzcheck::text(data, size);
    common::parseLoginReply(reply);
    common::permissionGranted(reply, QStringLiteral("S1_0badc0de"));
    common::parseUserList(reply);
    tavrelsvc::splitStatusReply(reply);
    tavrelsvc::SearchResultOutputs out;
    tavrelsvc::SearchResultsRecord record;
    try {
        tavrelsvc::parseSearchResultsReply(reply, QStringLiteral("http://127.0.0.1/sorvex/cgi/"), out, record);
    } catch (const platform::Error&) {
        // A reply that cannot be read: the caller records it as an error result.
    }
    return 0;
}
