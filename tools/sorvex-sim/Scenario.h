#pragma once
/*
sorvex-sim: a simulated Sorvex Server for tests and the demo. It listens on
127.0.0.1 only.

COMMAND LINE
  sorvex-sim --port N [--scenario FILE] [--log FILE]
             [--https-port N --cert FILE --key FILE]
             [--proxy-port N]
  --port N        plain HTTP listener; 0 picks a free port.
  --scenario FILE JSON scenario (below); without it the defaults apply.
  --log FILE      request log (below); overrides the scenario's "log".
  --https-port N  HTTPS listener with the given PEM certificate and key
                  (testcerts/ holds a test CA, a server certificate for
                  127.0.0.1/localhost and one for a wrong host name).
  --proxy-port N  forward proxy (absolute-form GET/POST to a loopback host);
                  demands Proxy-Authorization when the scenario's "proxy"
                  names a user.
  A bad option or a bad scenario prints one line to stderr, exit code 2.

STANDARD OUTPUT
  Once every listener is bound, one decimal port a line, flushed:
    line 1: the HTTP port;
    next:   the HTTPS port, only when --https-port was given;
    next:   the proxy port, only when --proxy-port was given.
  Nothing else is written to stdout. The program runs until killed
  (it also ends when the process that started it ends) or until
  GET /_sim/quit. Log lines are flushed one by one, so nothing is lost.

SCENARIO FILE (JSON object; every key optional; unknown keys are an error)
  "basePath": "/sorvex/cgi/"   folder of the server programs; requests
                               outside it get 404.
  "version": "2.2.101"         reply of client.pl?version is
                               "Version " + version + lineEnd ...
  "versionReply": "..."        ... unless this raw reply is given.
  "lineEnd": "\n"              line end of every text reply ("\r\n" for CRLF).
  "security": false            true = the server's own security is on.
  "guestLogin": false          action=guestlogin succeeds (as user "guest").
  "webAuthentication": false   action=webauthentication succeeds when the
                               request carries Basic credentials of a user in
                               "users" (the web server authenticated it).
  "users": [ {"name": "alice", "password": "pw", "id": 3, "number": 0,
              "fullName": "Alice A", "email": "alice@example.org",
              "permissions": [19, 22], "ostrane": false} ]
        "permissions" absent = every security task permitted;
        "ostrane": true = login answers error 4381.
  "session": {"expireAfterRequests": 0, "prefix": "S"}
        a session serves that many requests that carry its id (any
        program); the next one finds it lapsed (0 = never lapses). Ids are
        prefix + counter + "_" + 8 hex digits.
  "requireSession": null       get_params.pl and client.pl?create_task_id
                               refuse a missing/invalid session (default: the
                               value of "security").
  "httpAuth": {"user": "web", "password": "wpw"}
        the web server demands Basic authentication on every program under
        basePath: 401 + WWW-Authenticate without matching credentials.
  "proxy": {"user": "pu", "password": "ppw"}   credentials the proxy demands.
  "params": {"DB": ["SwissProt", ...], "CLE": [...], "MODS": [...],
             "HIDDEN_MODS": [...], "TAXONOMY": [...], "INSTRUMENT": [...],
             "QUANTITATION": [...], "OPTIONS": [...], "OTHER": [...]}
        replaces the default entries section by section; null drops the
        section. Sections are written in the order DB, CLE, MODS,
        HIDDEN_MODS, TAXONOMY, INSTRUMENT, QUANTITATION, OPTIONS, then others
        by name; each is "[NAME]", its entries, then an empty line.
  "paramsDocument": "..."      raw parameter document instead of "params".
  "createTaskId": {"taskid": "auto", "actionstring": "..."}
        "auto" = a counter from 1000; reply "taskid=..", "actionstring=..".
  "createTaskIdReply": "..."   raw reply instead (e.g. "problem=busy").
  "errorMessages": {"1": "Out of memory", ...}   ms-geterror.exe?N texts,
        merged over the defaults; unknown N -> "Message number no longer used".
  "faults": [ {"match": "client.pl?version", "listener": "any",
               "skip": 0, "times": 0, "status": 500, "body": "...",
               "reply": "normal", "delayMs": 0} ]
        A fault applies to a request whose target relative to basePath
        (program + "?" + query, e.g. "login.pl?display=nothing&...") contains
        "match" ("" matches all, also paths outside basePath as their full
        target). "listener": "http" | "https" | "proxy" | "any" ("any" =
        http or https; the proxy is faulted only by "proxy").
        The first "skip" matching requests pass, the next "times" are hit
        (0 = every one after the skipped). The first applicable fault wins.
        "status" replaces the status (305, 401, 404, 407, 500 ...; 401 adds
        WWW-Authenticate, 407 Proxy-Authenticate) with "body" as the body (a
        short default text when absent); without "status" the normal reply
        is shaped by "reply":
          "normal"    as is;  "empty" status kept, no body;
          "truncated" Content-Length of the full body, half of it sent, then
                      the connection is closed;
          "drop"      the connection is closed without any reply.
        "delayMs" waits before replying (with any of the above).
        "hold": true keeps the reply back until the control request
        /_sim/release (or ten minutes), for a test that needs a request
        hanging for as long as it looks.
  "log": "FILE"                request log file (see --log).
  "bodies": "DIR"              every accepted search upload is kept there as
                               "upload-<n>.body" (n = order of the upload
                               from 1), framed exactly as received.
  "search": {                  how the simulated searches behave:
    "states": ["running", "complete"]   first line of each status reply of
        an uploaded search, one per poll, the last repeats. Any text is sent
        as given: "id_assigned", "queued", "running", "complete", "error=N",
        "problem=TEXT", "unknown_id", "searchcontrol-error=TEXT".
        ["running"] is a search that hangs.
    "perUpload": [[...], ...]  the n-th upload's states instead, when given.
    "results": "normal"        | "empty" (no body) | "malformed" (num_hits
        not a number) | "nohits" (num_hits=0) | "nofile" (no "file" key).
    "resultsReply": "..."      raw results reply instead.
    "selectPeptides": false    true: per-query triples and selectpeptides=1.
    "queryScores": [[score, threshold], ...]  per query (cyclic) instead of
        the derived score and the threshold 25.
    "release": "SwissProt_2024_01.fasta", "sigScore": 45,
    "resultsPerlScript": ""    sent as "resultsperlscript" when not empty.
  }

REPLIES (text/plain; every line ends with lineEnd)
  login.pl?...&action=A...  "error=N", "errorstring=TEXT", "sessionID=ID".
      issecuritydisabled: security off -> 0 and a new session; on -> -3, no id.
      login: -4 without user name; 4381 for an "ostrane" user; -1 for an
        unknown user or a wrong password; 0 and a new session.
      webauthentication, guestlogin: 0 and a session, or -4 without id.
        A guest session holds the permissions of a user named "guest" when
        "users" has one, else every permission.
      ispermitted&sessionID=ID&sectask=N: 0 and the same ID when the
        session is alive and its user holds N; else -2 (no or lapsed
        session) or -6 (not permitted), "sessionID=" empty.
      logout&sessionID=ID: ends the session; 0, empty id.
      With security off every action succeeds with a session.
  get_params.pl[?sessionID=ID]       the parameter document.
  get_params.pl?Show=MS_USERS&sessionID=ID  one user a line:
      "name","id","number","fullName","email"
      (needs a live session holding task 22 when security is on, else the
      reply is "error=-6" ...).
  client.pl?version                   the version reply.
  client.pl?create_task_id[&sessionID=ID]  "taskid=N", "actionstring=TEXT"
      (default action string "nph-sorvex.exe").
  POST ACTIONSTRING?M+--taskID+N[+--sessionID+ID]   the search upload,
      multipart/form-data, read as it streams (never held whole). The
      task id must have been handed out and not used; with requireSession
      the session must be live. The body's framing must add up to its
      Content-Length, else 400 "problem=...". Faults matching the upload:
      "status" replies after reading the body, "drop" closes the
      connection half-way through it. Reply: a short HTML page.
  THE DETERMINISTIC SEARCH (SearchOracle.h): queries = "BEGIN IONS" blocks
      of the FILE part plus QUE parts whose value starts with "query=" (the
      query texts this server hands out; other QUE parts carry the search's
      parameters); the content hash is FNV-1a over every ion-block line
      ("BEGIN IONS" .. "END IONS", line end removed, + "\n") and every such
      QUE value (+ "\n"). From it: accession "P" + 5 digits,
      score with one decimal, mass ending in ".25", num_hits 1..5 (0 when
      no query). Result file "../data/F<taskid>.dat".
  client.pl?status&task_id=N          the next state of the search
      ("id_assigned" before its upload, "unknown_id" for an unknown id).
  client.pl?nice_job&task_id=N&nice_value=V   "OK"; the value is recorded.
  client.pl?results&task_id=N         "file=", "release=", "queries=",
      "num_hits=", "h1=ACC,SCORE,0.00,MASS", "h1_text=", "sigscoreprot=",
      ["resultsperlscript="], per query with selectPeptides the triple
      "ionqueryI=query=I,title=T", "qscoreI=S", "qbaseI=THRESHOLD"
      (a follow-up's query text is its QUE value), last "selectpeptides=0|1".
  client.pl?user_params&task_id=N     the upload's form fields other than
      FILE, QUE and INTERMEDIATE, "NAME=VALUE" a line (empty before upload).
  master_results.pl?file=F            an HTML page naming the top hit.
  ms-geterror.exe?N                   the message text for N.
  A refused session (requireSession) gets status 200 with
      "error=-2", "errorstring=Session expired or invalid", "sessionID=".
  Control (never logged, not under basePath): GET /_sim/reload re-reads the
  scenario file (keeps sessions and the task-id counter, restarts the fault
  hit counts; 500 + reason when the file is bad, the old scenario stays),
  GET /_sim/expire-sessions ends every session, GET /_sim/release lets the
  replies held by "hold" faults go, GET /_sim/quit stops.

REQUEST LOG
  One line per request, appended and flushed when the reply is decided
  (before any delay), fields separated by one TAB, in this order:
    listener   http | https | proxy
    method     GET, POST ...
    target     path and query as received (the proxy: the absolute URL)
    version    HTTP/1.0 or HTTP/1.1
    auth=      none | basic:USER | other      (Authorization header)
    proxyauth= none | basic:USER | other      (Proxy-Authorization header)
    body=      request body size in bytes
    status=    status sent, or drop
    fault=     none | status | empty | truncated | drop | delay
    agent=     User-Agent value (last: it may contain blanks)
  A request through the proxy gives two lines: the server's (written
  first) and then the proxy's, whose target is the absolute URL.
  Example:
    http\tGET\t/sorvex/cgi/client.pl?version\tHTTP/1.1\tauth=none\t
    proxyauth=none\tbody=0\tstatus=200\tfault=none\tagent=Sorvex Tavrel 0.1.0
*/

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace sorvexsim {

struct SimUser {
    QString name;
    QString password;
    int id = 0;
    int number = 0;
    QString fullName;
    QString email;
    std::optional<QList<int>> permissions;  // absent: everything permitted
    bool ostrane = false;

    bool holds(int task) const { return !permissions || permissions->contains(task); }
};

struct Fault {
    QString match;
    QString listener = QStringLiteral("any");
    int skip = 0;
    int times = 0;
    std::optional<int> status;
    std::optional<QByteArray> body;
    QString reply = QStringLiteral("normal");
    int delayMs = 0;
    bool hold = false;
};

struct Credentials {
    QString user;
    QString password;
};

// How the simulated searches behave (scenario key "search").
struct SearchScenario {
    QStringList states = {QStringLiteral("running"), QStringLiteral("complete")};
    std::vector<QStringList> perUpload;  // the n-th upload's states, when given
    QString results = QStringLiteral("normal");
    std::optional<QByteArray> resultsReply;
    bool selectPeptides = false;
    std::vector<std::pair<QString, QString>> queryScores;  // [score, threshold], cyclic
    QString release = QStringLiteral("SwissProt_2024_01.fasta");
    QString sigScore = QStringLiteral("45");
    QString resultsPerlScript;  // "" = the key is not sent
};

struct Scenario {
    QString basePath = QStringLiteral("/sorvex/cgi/");
    QString version = QStringLiteral("2.2.101");
    std::optional<QByteArray> versionReply;
    QByteArray lineEnd = "\n";
    bool security = false;
    bool guestLogin = false;
    bool webAuthentication = false;
    std::vector<SimUser> users;
    int expireAfterRequests = 0;
    QString sessionPrefix = QStringLiteral("S");
    std::optional<bool> requireSessionSetting;
    std::optional<Credentials> httpAuth;
    std::optional<Credentials> proxyAuth;
    QMap<QString, std::optional<QStringList>> params;  // null = section dropped
    std::optional<QByteArray> paramsDocument;
    QString taskId = QStringLiteral("auto");
    QString actionString = QStringLiteral("nph-sorvex.exe");
    std::optional<QByteArray> createTaskIdReply;
    QMap<int, QString> errorMessages;
    std::vector<Fault> faults;
    QString logFile;
    SearchScenario search;
    QString bodiesDir;

    bool requireSession() const { return requireSessionSetting.value_or(security); }
    const SimUser* findUser(const QString& name) const;
};

// Reads a scenario file; on failure returns nothing and says why in *error
// (file, JSON offset or the offending key).
std::optional<Scenario> loadScenario(const QString& path, QString* error);
// The same for a parsed object (an empty object gives the defaults).
std::optional<Scenario> scenarioFromJson(const QJsonObject& root, QString* error);

// The parameter document that get_params.pl serves.
QByteArray parameterDocument(const Scenario& s);

}  // namespace sorvexsim
