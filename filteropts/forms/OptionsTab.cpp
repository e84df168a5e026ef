#include "filteropts/forms/OptionsTab.h"

#include "filteropts/forms/FieldLeaveChecks.h"

#include <QLineEdit>

namespace filteropts {

OptionsTab::OptionsTab(int filter, const OptionsDialogContext& context, QWidget* parent)
    : QWidget(parent), filter_(filter), context_(context) {}

OptionReading OptionsTab::load(const QString& stored) {
    const OptionReading reading = readOptions(filter_, stored);
    loadFields(reading);
    return reading;
}

void OptionsTab::watchFields(FieldLeaveChecks& checks) {
    for (const FieldSpec& spec : layoutOf(filter_).fields) {
        if (spec.check == LeaveCheck::None) continue;
        if (auto* box = findChild<QLineEdit*>(QString::fromLatin1(spec.control))) checks.watch(box, spec.check);
    }
}

}  // namespace filteropts
