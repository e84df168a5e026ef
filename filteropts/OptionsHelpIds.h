#pragma once
// Help topic numbers of the import-filter options dialog: the dialog's own,
// and one per control. Members of an option group or control array share
// the number of their name.
#include <QList>
#include <QString>

namespace filteropts {

inline constexpr int kOptionsDialogHelpId = 20480;

struct ControlHelpId {
    const char* control;
    int id;
};

const QList<ControlHelpId>& optionsControlHelpIds();

}  // namespace filteropts
