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
    for (const FieldSpec& field : layoutOf(filter_).fields) {
        if (field.check == LeaveCheck::None) continue;
        if (auto* box = findChild<QLineEdit*>(QString::fromLatin1(field.control))) checks.watch(box, field.check);
    }
}

}  // namespace filteropts
