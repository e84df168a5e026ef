#include "common/forms/FitPathToLabel.h"

#include <QFontMetrics>
#include <QLabel>

namespace tavrel {

namespace {

const QString kEllipsis = QStringLiteral("...");

bool fits(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics.horizontalAdvance(text) <= width;
}

// The longest start of text that fits with "..." after it.
QString cutEnd(const QString& text, const QFontMetrics& metrics, int width) {
    for (qsizetype n = text.size() - 1; n > 0; --n) {
        const QString candidate = text.left(n) + kEllipsis;
        if (fits(metrics, candidate, width)) return candidate;
    }
    return kEllipsis;
}

}  // namespace

QString shortenToWidth(const QString& text, const QFontMetrics& metrics, int width, unsigned flags) {
    if (fits(metrics, text, width)) return text;
    if (flags & DT_PATH_ELLIPSIS) {
        const qsizetype cut = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char('/')));
        const QString tail = cut >= 0 ? text.mid(cut) : text;
        const QString head = cut >= 0 ? text.left(cut) : QString();
        for (qsizetype n = head.size() - 1; n >= 0; --n) {
            const QString candidate = head.left(n) + kEllipsis + tail;
            if (fits(metrics, candidate, width)) return candidate;
        }
        return cutEnd(kEllipsis + tail, metrics, width);
    }
    if (flags & DT_END_ELLIPSIS) return cutEnd(text, metrics, width);
    return text;
}

QString modGlobal_FitPathToLabel(QLabel* label, const QString& path, unsigned flags) {
    if (!label) return path;
    label->setProperty("Tag", path);
    const int width = int(0.9 * label->contentsRect().width());
    const QString shown = shortenToWidth(path, label->fontMetrics(), width, flags);
    label->setToolTip(shown != path ? path : QString());
    return shown;
}

}  // namespace tavrel
