// sorvex-sim: the simulated Sorvex Server. Command line, output and scenario
// format are described in Scenario.h.
#include "Serve.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sys/prctl.h>
#include <thread>
#include <vector>

using namespace sorvexsim;

namespace {

struct Options {
    int port = -1;
    int httpsPort = -1;
    int proxyPort = -1;
    QString scenario, log, cert, key;
};

[[noreturn]] void fail(const QString& why) {
    std::cerr << "sorvex-sim: " << why.toStdString() << std::endl;
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options o;
    auto value = [&](int& i) -> QString {
        if (i + 1 >= argc) fail(QStringLiteral("%1 needs a value").arg(argv[i]));
        return QString::fromLocal8Bit(argv[++i]);
    };
    auto port = [&](int& i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        bool ok = false;
        const int p = value(i).toInt(&ok);
        if (!ok || p < 0 || p > 65535) fail(name + " needs a port number from 0 to 65535");
        return p;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--port") o.port = port(i);
        else if (a == "--https-port") o.httpsPort = port(i);
        else if (a == "--proxy-port") o.proxyPort = port(i);
        else if (a == "--scenario") o.scenario = value(i);
        else if (a == "--log") o.log = value(i);
        else if (a == "--cert") o.cert = value(i);
        else if (a == "--key") o.key = value(i);
        else fail(QStringLiteral("unknown option %1 (usage: sorvex-sim --port N [--scenario FILE] [--log FILE] "
                                 "[--https-port N --cert FILE --key FILE] [--proxy-port N])").arg(argv[i]));
    }
    if (o.port < 0) fail(QStringLiteral("--port is required (0 picks a free port)"));
    if (o.httpsPort >= 0 && (o.cert.isEmpty() || o.key.isEmpty()))
        fail(QStringLiteral("--https-port needs --cert and --key"));
    return o;
}

int bindLoopback(httplib::Server& server, int port, const char* what) {
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) fail(QStringLiteral("cannot listen for %1 on 127.0.0.1:%2").arg(what).arg(port));
    return bound;
}

}  // namespace

int main(int argc, char** argv) {
    // The simulator belongs to the test that started it: it ends with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    std::signal(SIGPIPE, SIG_IGN);

    const Options o = parse(argc, argv);
    Scenario scenario;
    if (!o.scenario.isEmpty()) {
        QString error;
        auto loaded = loadScenario(o.scenario, &error);
        if (!loaded) fail(error);
        scenario = std::move(*loaded);
    }
    SimState state(std::move(scenario), o.scenario);
    if (!o.log.isEmpty()) state.setLogFile(o.log);

    std::vector<std::unique_ptr<httplib::Server>> servers;
    auto quit = [&servers] {
        std::thread([&servers] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (auto& s : servers) s->stop();
        }).detach();
    };

    // Clients keep connections alive between requests; give every listener
    // enough workers that idle kept-alive connections never starve a request.
    auto widen = [](httplib::Server& s) { s.new_task_queue = [] { return new httplib::ThreadPool(32); }; };

    std::vector<int> ports;
    servers.push_back(std::make_unique<httplib::Server>());
    widen(*servers.back());
    installServerHandlers(*servers.back(), state, QStringLiteral("http"), quit);
    ports.push_back(bindLoopback(*servers.back(), o.port, "HTTP"));

    if (o.httpsPort >= 0) {
        auto tls = std::make_unique<httplib::SSLServer>(o.cert.toLocal8Bit().constData(), o.key.toLocal8Bit().constData());
        if (!tls->is_valid()) fail(QStringLiteral("cannot load certificate %1 or key %2").arg(o.cert, o.key));
        widen(*tls);
        installServerHandlers(*tls, state, QStringLiteral("https"), quit);
        ports.push_back(bindLoopback(*tls, o.httpsPort, "HTTPS"));
        servers.push_back(std::move(tls));
    }
    if (o.proxyPort >= 0) {
        servers.push_back(std::make_unique<httplib::Server>());
        widen(*servers.back());
        installProxyHandlers(*servers.back(), state);
        ports.push_back(bindLoopback(*servers.back(), o.proxyPort, "the proxy"));
    }

    for (int p : ports) std::printf("%d\n", p);
    std::fflush(stdout);

    std::vector<std::thread> threads;
    for (auto& s : servers) threads.emplace_back([&s] { s->listen_after_bind(); });
    for (auto& t : threads) t.join();
    return 0;
}
