#pragma once
// The transfer of one prepared curl handle, waited for as the request wait
// policy says (platform/InetWait.h). Internal to the Internet layer.
#include <curl/curl.h>

namespace platform {

// The transfer's result; CURLE_ABORTED_BY_CALLBACK when the policy abandoned it.
CURLcode performTransfer(CURL* easy);

}  // namespace platform
