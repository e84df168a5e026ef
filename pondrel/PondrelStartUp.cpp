#include "pondrel/PondrelStartUp.h"

#include "common/CommandLineArgs.h"
#include "common/ServerReplies.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionLayouts.h"
#include "pondrel/ConvertWiffFile.h"
#include "platform/Error.h"

#include <QCoreApplication>

#include <exception>

namespace pondrel {

namespace {

constexpr long kTypeMismatch = 13;

qint32 longOf(const QString& text) {
    if (!filteropts::isNumber(text)) throw platform::Error(kTypeMismatch, QStringLiteral("Type mismatch"));
    const auto value = common::roundToInt32(filteropts::readNumber(text));
    if (!value) throw platform::Error(platform::errnum::Overflow, QStringLiteral("Overflow"));
    return *value;
}

const QString& argument(const QStringList& args, int i) {
    if (i >= args.size())
        throw platform::Error(platform::errnum::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return args[i];
}

// A failure must never read as success, whatever number it carries.
int failureCode(long number) { return number == 0 ? 51 : static_cast<int>(number); }

}  // namespace

QStringList modGlobal_SplitCommandLine(const QStringList& processArguments, int MaxArgs) {
    QStringList args{QString()};
    for (const QString& a : processArguments) {
        if (args.size() > MaxArgs) break;
        args << a;
    }
    return args;
}

QStringList debugArguments(const QString& programFolder) {
    const QString raw = programFolder + QStringLiteral("/Pondrel_test.wiff");
    QString name = raw;
    for (const QChar c : {QLatin1Char(':'), QLatin1Char('\\'), QLatin1Char('/')}) name.replace(c, QLatin1Char('~'));
    return {QStringLiteral("-1"),
            raw,
            programFolder + QLatin1Char('/') + name + QStringLiteral(".-1.qpl"),
            filteropts::builtInOptions(filteropts::kAnalyst),
            QStringLiteral("False"),
            QStringLiteral("False"),
            QString(),
            QStringLiteral("MIS")};
}

int Form_Load(const QStringList& processArguments, long securityResult) {
    try {
        QStringList args = modGlobal_SplitCommandLine(processArguments, kMaxArguments);
        const bool debug = common::modGlobal_HasArgument(args, QStringLiteral("-debug"));
        if (securityResult != 0 && !debug) return kExitSecurityFailed;
        if (debug) {
            const QString folder =
                QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QStringLiteral(".");
            args = QStringList{QString()} + debugArguments(folder);
        }
        WiffConversion c;
        c.sample = longOf(argument(args, 1));
        c.rawFile = argument(args, 2);
        c.outputFile = argument(args, 3);
        c.options = argument(args, 4);
        c.newerAnalyst = filteropts::yesNoOf(argument(args, 5));
        c.libraryOptions = filteropts::yesNoOf(argument(args, 6));
        c.optionKeys = argument(args, 7);
        c.searchType = argument(args, 8);
        return modGlobal_ConvertWiffFile(c) ? kExitConverted : kExitRefused;
    } catch (const platform::Error& e) {
        return failureCode(e.number());
    } catch (const std::exception&) {
        return failureCode(0);
    } catch (...) {
        return failureCode(0);
    }
}

}  // namespace pondrel
