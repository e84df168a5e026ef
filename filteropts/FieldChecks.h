#pragma once
// The options dialog's checks, without the dialog: what happens to a text box
// when the user leaves it, and the range checks of the OK button. Commas
// separate the fields of an option string, so no field may hold one.
#include "filteropts/OptionLayouts.h"

#include <QString>

namespace filteropts {

inline const QString kIllegalCharacter = QStringLiteral("Field contains illegal character");

struct LeaveResult {
    QString text;          // what the box shows afterwards
    bool refused = false;  // kIllegalCharacter is shown and the focus goes back
};

// Comma: refused when the text holds a comma, text unchanged. Letters: the
// text is upper-cased and refused at a character outside A to Z (the upper-
// cased text stays). Integer / Real: rewritten by the normaliser, never
// refused. Empty text is left as it is by every kind.
LeaveResult leaveCheck(LeaveCheck kind, const QString& text);

// The range checks of OK. Each rewrites the texts it normalises and answers
// the message of the failed check, or an empty text when the values pass.

// The noise filter parameter by the chosen filter (0 Default, 1 Noise Filter,
// 2 Gaussian Smooth, 3 Noise Removal; anything else: no check).
QString checkNoiseParameter(int noiseFilter, QString& parameter);
// The number of peaks kept per interval and the interval (whatever the
// intensity choice).
QString checkIntensitySelection(const QString& peaks, const QString& interval);
// The "Range from" hits of Quellmark quantitation.
QString checkQuantRange(const QString& first, const QString& last);
// The three TS2Sorvex values, normalised and checked in turn.
QString checkTs2SorvexValues(QString& minMass, QString& maxMass, QString& signalToNoise);

}  // namespace filteropts
