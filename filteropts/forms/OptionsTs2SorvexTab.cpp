#include "filteropts/forms/OptionsTs2SorvexTab.h"

#include "filteropts/FieldChecks.h"
#include "filteropts/forms/OptionsControls.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace filteropts {

OptionsTs2SorvexTab::OptionsTs2SorvexTab(const OptionsDialogContext& context, QWidget* parent)
    : OptionsTab(kTS2Sorvex, context, parent) {
    auto* frame = newFrame(22, QStringLiteral("Peak Filtering"), this);
    txtTS2SorvexOptionsMinMass = newLineEdit("txtTS2SorvexOptionsMinMass", frame);
    txtTS2SorvexOptionsMaxMass = newLineEdit("txtTS2SorvexOptionsMaxMass", frame);
    txtTS2SorvexOptionsS2N = newLineEdit("txtTS2SorvexOptionsS2N", frame);
    chkTS2SorvexOptionsMonoisotopic =
        newCheckBox("chkTS2SorvexOptionsMonoisotopic", QStringLiteral("Monoisotopic peaks only"), frame);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(newLabel(QStringLiteral("Mass range"), frame), 0, 0);
    grid->addWidget(txtTS2SorvexOptionsMinMass, 0, 1);
    grid->addWidget(newLabel(QStringLiteral("to"), frame), 0, 2);
    grid->addWidget(txtTS2SorvexOptionsMaxMass, 0, 3);
    grid->addWidget(newLabel(QStringLiteral("Da below precursor mass"), frame), 0, 4);
    grid->addWidget(newLabel(QStringLiteral("Minimum S/N"), frame), 1, 0);
    grid->addWidget(txtTS2SorvexOptionsS2N, 1, 1);
    grid->addWidget(chkTS2SorvexOptionsMonoisotopic, 2, 0, 1, 5);
    grid->setColumnStretch(5, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addStretch();
}

void OptionsTs2SorvexTab::loadFields(const OptionReading& r) {
    using namespace ts2sorvex;
    txtTS2SorvexOptionsMinMass->setText(r.fields[MinMass]);
    txtTS2SorvexOptionsMaxMass->setText(r.fields[MaxMass]);
    txtTS2SorvexOptionsS2N->setText(r.fields[S2N]);
    chkTS2SorvexOptionsMonoisotopic->setChecked(fieldIndex(kTS2Sorvex, Monoisotopic, r.fields[Monoisotopic]) == 1);
}

QStringList OptionsTs2SorvexTab::fields() const {
    return {txtTS2SorvexOptionsMinMass->text(), txtTS2SorvexOptionsMaxMass->text(), txtTS2SorvexOptionsS2N->text(),
            checkText(chkTS2SorvexOptionsMonoisotopic->isChecked())};
}

QString OptionsTs2SorvexTab::rangeCheck() {
    QString minMass = txtTS2SorvexOptionsMinMass->text();
    QString maxMass = txtTS2SorvexOptionsMaxMass->text();
    QString s2n = txtTS2SorvexOptionsS2N->text();
    const QString failed = checkTs2SorvexValues(minMass, maxMass, s2n);
    txtTS2SorvexOptionsMinMass->setText(minMass);
    txtTS2SorvexOptionsMaxMass->setText(maxMass);
    txtTS2SorvexOptionsS2N->setText(s2n);
    return failed;
}

}  // namespace filteropts
