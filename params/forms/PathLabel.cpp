#include "params/forms/PathLabel.h"

#include <QFontMetrics>

namespace tavrel {

QString fitPath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width) return path;
    const QString ellipsis = QStringLiteral("...");
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString last = cut < 0 ? path : path.mid(cut);
    QString head = cut < 0 ? QString() : path.left(cut);
    while (!head.isEmpty() && metrics.horizontalAdvance(head + ellipsis + last) > width) head.chop(1);
    if (!head.isEmpty()) return head + ellipsis + last;
    return metrics.elidedText(ellipsis + last, Qt::ElideRight, width);
}

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void PathLabel::setPath(const QString& path) {
    if (path == path_ && !text().isEmpty()) return;
    path_ = path;
    refit();
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    refit();
}

void PathLabel::refit() {
    // A tenth of the width stays free, so the path never touches the edge.
    const QString shown = fitPath(path_, fontMetrics(), contentsRect().width() * 9 / 10);
    setText(shown);
    setToolTip(shown == path_ ? QString() : path_);
}

}  // namespace tavrel
