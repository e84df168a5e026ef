#pragma once
// The "&Parameter Editor" tab of the main window: the search parameter set
// being edited.
#include <QWidget>

namespace tavrel {

class ParameterEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit ParameterEditorPage(QWidget* parent = nullptr);

    // Asked before the main window closes: false keeps it open (unsaved
    // changes the user did not let go).
    bool QueryClose();
};

}  // namespace tavrel
