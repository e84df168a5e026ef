// The readers take most lines in wide sweeps of the read block; these tests
// hold those sweeps to the same answers as the line-by-line rules.
#include "convert/PeakListBlockFields.h"
#include "convert/PeakListFormats.h"
#include "convert/PeakListMasks.h"
#include "convert/PeakListShortLines.h"

#include "ConvertTestHelpers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tavrelsvc;
using converttest::LoggedHome;

namespace {

// Lines that sit on every edge of the wide checks: exponents, leading zeros,
// signs, blanks, TABs, numbers longer than 16 or 64 bytes, text after digits.
const char* const kTrickyLines[] = {
    "445.3 1200 2", "1e-400 5", "1E5 2", "0.5 3", "0 445.2 3000", "00012 7", ".5 1", "-3 4", "+7 8",
    " 12 13", "\t12\t13", "12\t0\t13\t14", "2+", "12abc 3", "12e", "123456789012345678 5 6",
    "1234567890123456789012345678901234567890123456789012345678901234567890 1 2", "9", "0", "",
    "List: scan 7", "mode: 0 523.7", "BEGIN IONS", "1  2  3", "1 0 0 2 0 3", "5 1e-999 6 7", "7 x 8 9",
    "1.2.3 4 5", "3 4 1e3"};

QByteArray trickyFile(int copies, const char* lineEnd) {
    // A Sequest head first; the other readers pass over it.
    QByteArray bytes = "1001.5 2" + QByteArray(lineEnd) + "100.5 1" + lineEnd;
    for (int i = 0; i < copies; ++i) {
        bytes += "List: s" + QByteArray::number(i) + lineEnd + "Mode: 0 523.7 ms2" + lineEnd;
        bytes += "445.3 1200 2" + QByteArray(lineEnd);
        for (const char* line : kTrickyLines) bytes += QByteArray(line) + lineEnd;
        for (int k = 0; k < 40; ++k) bytes += QByteArray::number(100 + k) + ".25 " + QByteArray::number(k) + ".5" + lineEnd;
        if (i % 3 == 0) bytes += lineEnd;  // a blank line closes a PKL spectrum
    }
    return bytes;
}

}  // namespace

TEST(PeakListFastPath, WideChecksAgreeWithTheLineRules) {
    LoggedHome home;
    QByteArray bytes;
    for (const char* line : kTrickyLines) bytes += QByteArray(line) + "\r\n";
    bytes += "1234";  // last line without a line end: stale bytes may follow it
    const QString path = home.put("lines.txt", bytes);
    PeakListLineReader reader(path);
    std::string_view line;
    int lines = 0;
    while (reader.readLine(line)) {
        ++lines;
        SCOPED_TRACE(std::string(line));
        EXPECT_EQ(PeakListLineReader::numericInBlock(line), isPositive(line));
        for (char separator : {' ', '\t'}) {
            std::vector<std::string_view> wide, plain;
            std::string_view field;
            if (line.size() < BlockPositiveFields::kMaxLine) {
                BlockPositiveFields fields(line, separator);
                while (fields.next(field)) wide.push_back(field);
            }
            PositiveFields reference(line, separator);
            while (reference.next(field)) plain.push_back(field);
            if (line.size() < BlockPositiveFields::kMaxLine) {
                EXPECT_EQ(wide, plain);
            }
        }
    }
    EXPECT_EQ(lines, int(std::size(kTrickyLines)) + 1);
}

// What the field rules make of a line for a reader that keeps positive fields
// skip + 1 and skip + 2 of its numeric lines.
QByteArray peakByTheRules(std::string_view line, unsigned skip) {
    if (!isPositive(line)) return {};
    PositiveFields fields(line, fieldSeparator(line));
    std::string_view mz, intensity;
    for (unsigned i = 0; i < skip; ++i)
        if (!fields.next(mz)) return {};
    if (!fields.next(mz) || !fields.next(intensity)) return {};
    return QByteArray(mz.data(), qsizetype(mz.size())) + ' ' + QByteArray(intensity.data(), qsizetype(intensity.size())) + "\r\n";
}

TEST(PeakListFastPath, ShortPeakLinesFollowTheFieldRules) {
    LoggedHome home;
    const char* const shapes[] = {
        "1 445.2 3000", "445.2 0 3000 1", "1\t445.2\t3000", "445.2\t0\t3000\t1", "1 445.2 3000 ", "1 445.2  3000",
        "1 0 445.2 00 3000", "1 445.2 3000 x", "1 445.2", "5 6 7 8 9", "1 2 3.5e2", "9 8 0.5", "1 2 -3", "1 2 +3",
        "1 2 .3", "12abc 3 4", "1 445.2 3000\t", "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7",  // 31 bytes
        "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 78", "123456789012345 123456789012345", "1 0 0 0 0 0 0 0 0 0 0 0 0 0 2 3"};
    QByteArray bytes;
    for (const char* line : kTrickyLines) bytes += QByteArray(line) + "\r\n";
    for (const char* line : shapes) bytes += QByteArray(line) + "\r\n";
    PeakListLineReader reader(home.put("lines.txt", bytes));
    std::string_view line;
    int taken[2] = {};
    while (reader.readLine(line)) {
        SCOPED_TRACE(std::string(line));
        const auto check = [&](auto skip) {
            PeakListWriter out;
            const bool handled = writeShortPeakLine<skip()>(out, line);
            if (!handled) {
                EXPECT_TRUE(out.text().isEmpty());
                return;
            }
            ++taken[skip()];
            EXPECT_EQ(out.text(), peakByTheRules(line, skip()));
        };
        check(std::integral_constant<unsigned, 0>());
        check(std::integral_constant<unsigned, 1>());
    }
    // The shapes the formats write are taken here, not left to the general rules.
    EXPECT_GE(taken[0], 10);
    EXPECT_GE(taken[1], 10);
}

// The kernels that take many peak lines at once against the field rules:
// long rows of each format's usual line (whole chunks of them are packed at
// once where the processor can), with one odd line at every offset in 64
// bytes, after lines of every length. Every line the kernels leave is
// judged by the rules, as the readers do.
TEST(PeakListFastPath, ManyLinesAtOnceFollowTheFieldRules) {
    LoggedHome home;
    const std::string longField = "1" + std::string(150, '2');
    const std::string tooLong(400, '9');  // out of range: 0, not positive
    std::vector<std::string> odd(std::begin(kTrickyLines), std::end(kTrickyLines));
    for (const std::string& extra :
         {std::string("1 2 3 4"), std::string("1 0 3"), std::string("1 2 0"), std::string("0 1 2"),
          std::string("1 2  3"), std::string("1 2 3 "), std::string(" 1 2 3"), std::string("1\t2\t3"),
          std::string("1 2 3e"), std::string("1 2 3\r"), std::string("1 2 3\n"), std::string("1 2"),
          std::string("1 02 3"), std::string("1 .5 3"), std::string("12 0 3 0"), std::string("12 0 3"),
          std::string("12 00 3 1"), std::string("12 0.5 3 1"), std::string("12 .5 3 1"),
          std::string("12 -1 3 1"), std::string("12 0 3 -1"), std::string("12 0 3 1e3"), std::string("12 0 3 1 5"), std::string("12 1 3 1"), std::string("1 \xe9 3"),
          std::string("1 2 3\x1a"), "1 " + longField + " 3", "1 " + tooLong + " 3", longField + " 0 3 1",
          "12 0 " + tooLong + " 1"})
        odd.push_back(extra);
    // Usual lines of varied lengths, so fields and lines cross chunk edges.
    const auto usual = [](unsigned skip, int i) {
        const std::string mz = std::to_string(100 + i * 37 % 900) + "." + std::to_string(i * 7 % 10000);
        const std::string intensity = std::to_string(1 + i * 53 % 99999) + (i % 3 ? ".5" : "");
        return skip ? "1 " + mz + " " + intensity : mz + " 0 " + intensity + " 1";
    };
    // What the rules make of a text, line by line.
    const auto byTheRules = [](const QByteArray& text, unsigned skip) {
        QByteArray out;
        qsizetype at = 0;
        while (at < text.size()) {
            qsizetype end = at;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
            out += peakByTheRules(std::string_view(text.constData() + at, size_t(end - at)), skip);
            at = end + (text.mid(end, 2) == "\r\n" ? 2 : 1);
        }
        return out;
    };
    using Kernel = void (*)(unsigned, PeakListLineReader&, PeakListWriter&);
    const Kernel kernels[] = {takeShortPeakLines, detail::takeShortPeakLinesPortably};
    for (const unsigned skip : {0u, 1u}) {
        for (const std::string& tested : odd) {
            SCOPED_TRACE("skip " + std::to_string(skip) + ", line \"" + tested + "\"");
            QByteArray text;
            for (int shift = 0; shift < 66; ++shift) {
                for (int i = 0; i < 12; ++i) text += QByteArray::fromStdString(usual(skip, shift * 12 + i)) + "\r\n";
                text += QByteArray::fromStdString(skip ? "1 " + std::string(shift + 1, '3') + " 5"
                                                       : std::string(shift + 1, '3') + " 0 5 1") + "\r\n";
                text += QByteArray::fromStdString(tested) + "\r\n";
            }
            for (int i = 0; i < 12; ++i) text += QByteArray::fromStdString(usual(skip, i)) + "\r\n";
            const QString path = home.put("lines.txt", text);
            const QByteArray expected = byTheRules(text, skip);
            for (const Kernel kernel : kernels) {
                PeakListLineReader reader(path);
                PeakListWriter out;
                std::string_view line;
                for (;;) {
                    kernel(skip, reader, out);
                    if (!reader.readLine(line)) break;
                    const QByteArray peak = peakByTheRules(line, skip);
                    out.write(std::string_view(peak.constData(), size_t(peak.size())));
                }
                EXPECT_TRUE(out.text() == expected) << (kernel == kernels[0] ? "widest" : "portable");
            }
        }
    }
}

TEST(PeakListFastPath, SweptLinesGiveWhatLineByLineGives) {
    // Several blocks, so sweeps stop at block ends and lines straddle them;
    // LF-only lines are never swept, so that file takes the line-by-line path.
    LoggedHome home;
    const int copies = 5 * PeakListLineReader::kBlockSize / 2 / trickyFile(1, "\r\n").size();
    const QByteArray crlf = trickyFile(copies, "\r\n");
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray mixed = crlf;  // every seventh line end is a lone LF
    for (qsizetype at = mixed.indexOf("\r\n"), n = 0; at >= 0; at = mixed.indexOf("\r\n", at + 1), ++n)
        if (n % 7 == 0) mixed.remove(at, 1);

    PeakListJobContext job;
    job.GetFormValue = [](const QString&, const QString&) { return QStringLiteral("812.4"); };
    for (const QString& format : {kFormatDta, kFormatPkl, kFormatAsc, kFormatPks, kFormatApiIII}) {
        SCOPED_TRACE(format.toStdString());
        QByteArray outputs[3];
        long spectra[3] = {};
        const QByteArray* inputs[3] = {&crlf, &lf, &mixed};
        for (int i = 0; i < 3; ++i) {
            // Same path every time: the titles hold it.
            const QString path = home.put("input.txt", *inputs[i]);
            outputs[i] = converttest::convertToText([&](PeakListWriter& o) {
                spectra[i] = convertPeakList(format, path, o, job).spectra;
            });
        }
        EXPECT_GT(spectra[0], 0);
        EXPECT_GT(outputs[0].size(), crlf.size() / 8);
        EXPECT_EQ(spectra[1], spectra[0]);
        EXPECT_EQ(spectra[2], spectra[0]);
        EXPECT_TRUE(outputs[1] == outputs[0]);
        EXPECT_TRUE(outputs[2] == outputs[0]);
    }
}

// The numeric run a reader hands out against the line rules: each line, at
// every offset around a 64-byte edge and after a first line of every length,
// ends the run exactly where the first line that is no number of at least 1,
// or is not ended by CR LF, stands.
TEST(PeakListFastPath, NumericRunsEndWhereTheLineRulesEndThem) {
    LoggedHome home;
    const std::string longDigits(150, '7');
    const std::string tooLong(400, '9');  // out of range: 0, not numeric
    std::vector<std::string> lines(std::begin(kTrickyLines), std::end(kTrickyLines));
    for (const std::string& extra : {std::string("12.5e"), std::string("12 5e3"), std::string("1 2 E"),
                                     "1" + longDigits, "1" + longDigits + "e-999", tooLong, "1" + std::string(70, ' ') + "e"})
        lines.push_back(extra);
    // What the line rules make of the text from `from` on.
    const auto byTheRules = [](const std::string& text, size_t from) {
        size_t at = from;
        for (;;) {
            const size_t lineEnd = text.find_first_of("\r\n", at);
            if (lineEnd == std::string::npos || text.compare(lineEnd, 2, "\r\n") != 0) return at - from;
            if (!isPositive(std::string_view(text).substr(at, lineEnd - at))) return at - from;
            at = lineEnd + 2;
        }
    };
    // Where the line from `at` on ends, and where the next one starts.
    const auto nextLine = [](const std::string& text, size_t at) {
        const size_t lineEnd = std::min(text.find_first_of("\r\n", at), text.size());
        return std::pair(lineEnd, lineEnd + (text.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1));
    };
    for (const std::string& tested : lines) {
        for (const char* lineEnd : {"\r\n", "\n"}) {
            SCOPED_TRACE("line \"" + tested + "\" ended by " + (lineEnd[0] == '\r' ? "CR LF" : "LF"));
            // A first line that is no number, numeric lines up to the tested
            // one and after it: the tested line at every offset in 64 bytes.
            std::string text;
            for (size_t head = 0; head < 70; head += 7) {
                for (size_t shift = 0; shift < 66; ++shift) {
                    text += "h" + std::string(head, 'h') + "\r\n";
                    text += "1" + std::string(shift, '2') + "\r\n12.5 300\r\n";
                    text += tested + lineEnd;
                    for (int i = 0; i < 4; ++i) text += "445.25 1" + std::to_string(i) + "\r\n";
                }
            }
            PeakListLineReader reader(home.put("run.txt", QByteArray::fromStdString(text)));
            std::string_view line;
            size_t at = 0;  // where the reader stands in the text
            while (reader.readLine(line)) {
                const auto [end, next] = nextLine(text, at);
                ASSERT_EQ(line, std::string_view(text).substr(at, end - at));
                at = next;
                const std::string_view run = reader.readNumericRun();
                ASSERT_EQ(run.size(), byTheRules(text, at)) << "at " << at;
                at += run.size();
            }
            EXPECT_EQ(at, text.size());
        }
    }
}
