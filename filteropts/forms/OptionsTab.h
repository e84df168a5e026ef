#pragma once
// One tab of the options dialog: the controls of one filter's option string.
// A tab fills its controls from the string as every reader reads it, gives
// back the fields its controls hold, and has the range checks of OK.
#include "filteropts/OptionString.h"
#include "filteropts/forms/OptionsDialogContext.h"

#include <QStringList>
#include <QWidget>

namespace filteropts {

class FieldLeaveChecks;

class OptionsTab : public QWidget {
public:
    OptionsTab(int filter, const OptionsDialogContext& context, QWidget* parent);

    int filter() const { return filter_; }

    // The stored string into the controls (completion rules and fallbacks of
    // readOptions). Answers the reading, whose replacement by the built-in
    // default becomes the working string when this tab composes nothing.
    OptionReading load(const QString& stored);

    // The fields the controls hold, in layout order.
    virtual QStringList fields() const = 0;

    // OK's range checks of this tab: empty, or the message of the first that fails.
    virtual QString rangeCheck() { return {}; }

    // Registers the tab's text boxes with the dialog's leave checks, in field order.
    virtual void watchFields(FieldLeaveChecks& checks);

protected:
    virtual void loadFields(const OptionReading& reading) = 0;
    const OptionsDialogContext& context() const { return context_; }

private:
    int filter_;
    const OptionsDialogContext& context_;
};

// A check box field: "1" ticked, "0" clear.
inline QString checkText(bool ticked) { return ticked ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace filteropts
