#include "clientcommon/forms/FitPathToLabel.h"

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

QString fitToLabel(QLabel* label, const QString& path, unsigned flags) {
    label->setProperty("Tag", path);
    const int width = int(0.9 * label->contentsRect().width());
    const QString shown = shortenToWidth(path, label->fontMetrics(), width, flags);
    label->setToolTip(shown != path ? path : QString());
    return shown;
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

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void PathLabel::setPath(const QString& path, unsigned flags) {
    if (path == path_ && flags == flags_ && !text().isEmpty()) return;
    path_ = path;
    flags_ = flags;
    refit();
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    refit();
}

void PathLabel::refit() { setText(fitToLabel(this, path_, flags_)); }

QString modGlobal_FitPathToLabel(QLabel* label, const QString& path, unsigned flags) {
    if (!label) return path;
    if (auto* pathLabel = qobject_cast<PathLabel*>(label)) {
        pathLabel->setPath(path, flags);
        return pathLabel->text();
    }
    return fitToLabel(label, path, flags);
}

}  // namespace tavrel
