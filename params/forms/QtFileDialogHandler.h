#pragma once
// The real file dialogs behind the seam of params/FileDialogs.h. The client
// installs one at start-up with setFileDialogHandler.
#include "params/FileDialogs.h"

namespace tavrel {

class QtFileDialogHandler : public FileDialogHandler {
public:
    QString show(const FileDialogRequest& request) override;
};

}  // namespace tavrel
