#pragma once
// Long paths shown in a label: shortened in the middle so that the beginning
// and the file name stay readable, the full path in the tool tip.
#include <QLabel>
#include <QString>

class QFontMetrics;

namespace tavrel {

inline constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// The text shortened to fit width pixels. With DT_PATH_ELLIPSIS the last path
// component (after "\" or "/") is kept whole after "..." and as much of the
// beginning as fits before it; a last component too long by itself keeps its
// start. With DT_END_ELLIPSIS the end is cut. Without either flag the text
// comes back unchanged.
QString shortenToWidth(const QString& text, const QFontMetrics& metrics, int width, unsigned flags);

// A label that shows a path fitted to its width, and fits it again whenever
// it is resized.
class PathLabel : public QLabel {
    Q_OBJECT
public:
    explicit PathLabel(QWidget* parent = nullptr);
    void setPath(const QString& path, unsigned flags = DT_PATH_ELLIPSIS);
    QString path() const { return path_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refit();
    QString path_;
    unsigned flags_ = DT_PATH_ELLIPSIS;
};

// Stores the full path as the label's "Tag" property, shortens it to 90 % of
// the label's width in the label's font and returns the text for its caption;
// the tool tip is the full path when it was shortened, else empty. A
// PathLabel also shows the text and keeps the path fitted on every resize.
QString modGlobal_FitPathToLabel(QLabel* label, const QString& path, unsigned flags);

}  // namespace tavrel
