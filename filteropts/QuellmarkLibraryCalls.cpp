#include "filteropts/QuellmarkLibraryCalls.h"

#include "platform/SharedFile.h"

namespace filteropts {

using namespace platform::automation;

QList<QuellmarkDataFormat> quellmarkDataFormats(const std::shared_ptr<QuellmarkAgentMgr>& session) {
    QList<QuellmarkDataFormat> formats;
    const auto failed = platform::tryAutomation([&] {
        const auto sources = create<QuellmarkDataSourceCollection>();
        sources->setSession(session);
        for (const QVariant& code : sources->FormatsSupported()) {
            const qint32 value = code.toInt();
            formats.append({sources->GetFormatLabel(value), value});
        }
    });
    return failed ? QList<QuellmarkDataFormat>() : formats;
}

bool QuellmarkOptionsFile::isHeld() const {
    if (!held_) return false;
    return !platform::tryAutomation([&] {
        const auto msms = held_->MSMS();
        if (!msms) throw platform::Error(91, QStringLiteral("Object variable not set"));
        msms->PrecursorMZTolerance();
    });
}

std::optional<platform::Error> QuellmarkOptionsFile::load(const QString& path) {
    if (isHeld()) return std::nullopt;
    std::shared_ptr<QuellmarkProcessingOptions> options;
    if (const auto failed = platform::tryAutomation([&] {
            options = create<QuellmarkProcessingOptions>();
            options->LoadFromFile(path);
        })) {
        held_.reset();
        return failed;
    }
    held_ = std::move(options);
    return std::nullopt;
}

void QuellmarkOptionsFile::showSheet(const QString& fileName) {
    platform::tryAutomation([&] { create<QuellmarkProcOptsSheet>()->ShowStdModalDialog(held_, fileName); });
}

std::optional<platform::Error> QuellmarkOptionsFile::saveTo(const QString& path) {
    if (!held_) return platform::Error(91, QStringLiteral("Object variable not set"));
    auto failed = platform::tryAutomation([&] { held_->SaveToFile(path); });
    // The library writes with this user's umask: in a folder its group
    // shares, the next member must be able to save over it.
    if (!failed) platform::shareWithFolderGroup(path);
    return failed;
}

}  // namespace filteropts
