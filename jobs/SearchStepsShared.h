#pragma once
// What the search steps' two files share: the job as the search functions
// see it, and its server session with the job's session id kept in step.
#include "search/SearchContext.h"

namespace tavrelsvc {

class clsJob;
class JobSession;

namespace searchsteps {

SearchJobContext contextOf(const clsJob& job);
// The job's session, brought up to the job's URL and session id.
JobSession& sessionOf(clsJob& job);
// Takes the session id back after an exchange (a lapsed session logs in again).
void keepSessionId(clsJob& job);
bool hasQuellmarkProject(const clsJob& job);

}  // namespace searchsteps

}  // namespace tavrelsvc
