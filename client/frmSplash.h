#pragma once
// The start-up window, which is also the About box: the progress line
// lblMessage, the version and the maker's line. Any click or key closes it.
#include <QDialog>

class QLabel;

namespace tavrel {

class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // "Version 0.1.0": major, minor and revision, a revision of 0 included.
    static QString versionText(int major, int minor, int revision);

    void frmSplash_Form_Load();
    // Shows a progress text at once.
    void showMessage(const QString& text);

    QLabel* lblMessage;
    QLabel* lblVersion;
    QLabel* lblMaker;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tavrel
