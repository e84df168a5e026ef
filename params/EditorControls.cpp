#include "params/EditorControls.h"

namespace tavrel {

QStringList MultiListControl::selectedItems() const {
    QStringList out;
    for (qsizetype i = 0; i < items.size() && i < selected.size(); ++i)
        if (selected[i]) out << items[i];
    return out;
}

int MultiListControl::selectedCount() const {
    return static_cast<int>(selected.count(true));
}

}  // namespace tavrel
