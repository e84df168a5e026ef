#include "platform/WindowMessages.h"

#include "platform/ProgramFolder.h"
#include "platform/RegistryHive.h"
#include "platform/ServiceControl.h"

#include <map>
#include <mutex>

namespace platform {

namespace {

std::mutex windowsMutex;
std::map<HWND, QString> windowChannels;  // one handle per window channel, reused
HWND nextWindow = 0x10000;

QString windowChannelName(const QString& windowName, const QString& folder) {
    return localChannelName(QStringLiteral("tavrel-wnd"), windowName, folder);
}

HWND handleFor(const QString& channel) {
    const std::lock_guard lock(windowsMutex);
    for (const auto& [handle, name] : windowChannels)
        if (name == channel) return handle;
    nextWindow += 4;
    windowChannels.emplace(nextWindow, channel);
    return nextWindow;
}

}  // namespace

quint32 RegisterWindowMessage(const QString& name) {
    if (name.isEmpty()) return 0;
    // FNV-1a: the same in every program and every build, unlike qHash.
    quint32 hash = 2166136261u;
    for (const char byte : name.toLower().toUtf8()) {
        hash ^= static_cast<quint8>(byte);
        hash *= 16777619u;
    }
    return 0xC000u + hash % 0x4000u;
}

HWND FindWindow(const QString& className, const QString& windowName) {
    if (windowName.isEmpty()) return 0;
    const QString channel = windowChannelName(windowName, resolveProgramFolder());
    QByteArray answer;
    if (localChannelRequest(channel, "find", serviceAnswerTimeout(), &answer) != ChannelResult::Answered ||
        !answer.startsWith("window "))
        return 0;
    if (!className.isEmpty() && QString::fromUtf8(answer.mid(7)).compare(className, Qt::CaseInsensitive) != 0)
        return 0;
    return handleFor(channel);
}

qintptr SendMessage(HWND window, quint32 message, quintptr wParam, qintptr lParam, long* error) {
    QString channel;
    {
        const std::lock_guard lock(windowsMutex);
        const auto it = windowChannels.find(window);
        if (it != windowChannels.end()) channel = it->second;
    }
    if (error) *error = ERROR_SUCCESS;
    if (channel.isEmpty()) {
        if (error) *error = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    const QByteArray request = "message " + QByteArray::number(message) + ' ' + QByteArray::number(wParam) +
                               ' ' + QByteArray::number(lParam);
    QByteArray answer;
    const ChannelResult result = localChannelRequest(channel, request, serviceAnswerTimeout(), &answer);
    bool ok = false;
    const qintptr value = answer.startsWith("result ") ? answer.mid(7).toLongLong(&ok) : 0;
    if (result == ChannelResult::Answered && ok) return value;
    if (error) *error = result == ChannelResult::NoListener ? ERROR_INVALID_WINDOW_HANDLE : ERROR_TIMEOUT;
    return 0;
}

WindowMessageListener::WindowMessageListener(QString className, QString windowName, QObject* parent)
    : QObject(parent),
      className_(std::move(className)),
      windowName_(std::move(windowName)),
      server_([this](const QByteArray& request) { return answer(request); }) {}

bool WindowMessageListener::listen(QString* error) {
    return server_.listen(windowChannelName(windowName_, resolveProgramFolder()), error);
}

void WindowMessageListener::close() { server_.close(); }

QByteArray WindowMessageListener::answer(const QByteArray& request) {
    if (request == "find") return "window " + className_.toUtf8();
    const QList<QByteArray> words = request.split(' ');
    bool ok[3] = {false, false, false};
    if (words.size() != 4 || words[0] != "message") return {};
    const quint32 message = words[1].toUInt(&ok[0]);
    const quintptr wParam = words[2].toULongLong(&ok[1]);
    const qintptr lParam = words[3].toLongLong(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2]) return {};
    qintptr result = 0;
    try {
        if (proc_) result = proc_(message, wParam, lParam);
    } catch (...) {
        result = 0;  // nothing escapes a window procedure
    }
    return "result " + QByteArray::number(static_cast<qlonglong>(result));
}

}  // namespace platform
