// ".par" files: lines are read under both rules, and what the editor's rule
// reads is written so that it reads back as the same keys and values.
#include "FuzzCheck.h"
#include "common/ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzzcheck::bytes(data, size);
    const QString path = QStringLiteral("fuzz.par");
    tavrel::parseParameterFileLines(input, path, tavrel::ParameterLineRule::RejectLinesWithoutEquals);
    const tavrel::ParameterFileLines read =
        tavrel::parseParameterFileLines(input, path, tavrel::ParameterLineRule::SkipLinesWithoutEquals);
    if (!read.ok()) return 0;
    QByteArray written;
    if (tavrel::encodeParameterFileLines(read.lines, path, written)) return 0;  // a line the format cannot hold
    const tavrel::ParameterFileLines back =
        tavrel::parseParameterFileLines(written, path, tavrel::ParameterLineRule::RejectLinesWithoutEquals);
    fuzzcheck::require(back.ok() && back.lines.size() == read.lines.size(), "a written .par file reads back");
    for (qsizetype i = 0; i < read.lines.size(); ++i)
        fuzzcheck::require(back.lines[i].key == read.lines[i].key && back.lines[i].value == read.lines[i].value,
                           "a written .par line reads back the same");
    return 0;
}
