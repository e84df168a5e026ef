#pragma once
// A label that shows a path fitted to its width: the beginning and the last
// component around an ellipsis, with the full path as its tool tip when it
// had to be shortened. It fits the path again whenever it is resized.
#include <QLabel>

namespace tavrel {

// The path shortened to fit width pixels in the given font.
QString fitPath(const QString& path, const QFontMetrics& metrics, int width);

class PathLabel : public QLabel {
    Q_OBJECT
public:
    explicit PathLabel(QWidget* parent = nullptr);
    void setPath(const QString& path);
    QString path() const { return path_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refit();
    QString path_;
};

}  // namespace tavrel
