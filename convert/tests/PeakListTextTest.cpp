#include "convert/PeakListIo.h"
#include "convert/PeakListText.h"

#include "ConvertTestHelpers.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrelsvc;

TEST(PeakListText, LeadingNumber) {
    const struct { const char* text; double value; } cases[] = {
        {"445.2 3000", 445.2}, {"  \t12abc", 12}, {".5", 0.5}, {"+3", 3}, {"-2.5 x", -2.5},
        {"1e3", 1000}, {"2.5e", 2.5}, {"", 0}, {"abc", 0}, {".", 0}, {"inf", 0}, {"nan", 0},
        {"1e999", 0}, {"--5", 0}, {"0x10", 0}, {"3,5", 3},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text;
        EXPECT_EQ(isPositive(c.text), c.value > 0) << c.text;
    }
    for (const char* zero : {"0", "0.000", "-0", "1e-400", "0e5", " +0.0 7"}) EXPECT_FALSE(isPositive(zero)) << zero;
    for (const char* positive : {"0.001", "+.5x", "5.", "1e-300"}) EXPECT_TRUE(isPositive(positive)) << positive;
}

TEST(PeakListText, PlainNumberAndFormatting) {
    double v = 0;
    EXPECT_TRUE(plainNumber(" 2.9 ", v));
    EXPECT_DOUBLE_EQ(v, 2.9);
    for (const char* whole : {" 12\t", "007", "123456789012345", "1234567890123456789"}) {
        EXPECT_TRUE(plainNumber(whole, v)) << whole;
        EXPECT_EQ(v, std::strtod(whole, nullptr)) << whole;
    }
    EXPECT_FALSE(plainNumber("2+", v));
    EXPECT_FALSE(plainNumber("2 3", v));
    EXPECT_FALSE(plainNumber("", v));

    EXPECT_EQ(formatNumber((1001.5 + kProtonMass) / 2), "501.253638");
    EXPECT_EQ(formatNumber(1001.5), "1001.5");
    EXPECT_EQ(formatNumber(2.0), "2");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(1.0 / 3), "0.333333333333333");
    // Whole numbers read as the shortest form with 15 digits reads them.
    for (double whole : {2.0, -7.0, 123456789012345.0, 999999999999999.0, 1e15, -1e15, 4.5e15, 1e300}) {
        char reference[64];
        const auto [end, ec] = std::to_chars(reference, reference + sizeof reference, whole, std::chars_format::general, 15);
        EXPECT_EQ(formatNumber(whole), std::string(reference, end)) << whole;
    }
}

TEST(PeakListText, FieldsSplitAtTabElseAtSingleSpaces) {
    auto fields = [](std::string_view line) {
        std::vector<std::string> out;
        forEachField(line, [&](std::string_view f) { out.emplace_back(f); return true; });
        return out;
    };
    EXPECT_EQ(fields("a  b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(fields("a b\tc"), (std::vector<std::string>{"a b", "c"}));
    EXPECT_EQ(fields(""), (std::vector<std::string>{""}));
}

// The one-pass walker and the inline shortcut must agree with the plain
// rule (split, then leading number > 0) on the awkward cases too.
TEST(PeakListText, PositiveFieldsAgreeWithSplitAndTest) {
    const std::string longNumber = "1" + std::string(400, '0');
    const std::string lines[] = {
        "1 445.2 3000", "0 445.2 0 3000 7", "1e999 2 3e-400 4E2 5", "x 1.2.3e5 +7 -8 .5",
        " 12  9", "1\t2 3\t4", longNumber + " 5", "9e 8", "", "1.5e+",
    };
    for (const std::string& line : lines) {
        std::vector<std::string> expected, got;
        forEachField(line, [&](std::string_view f) {
            EXPECT_EQ(isPositive(f), leadingNumber(f) > 0) << f;
            if (leadingNumber(f) > 0) expected.emplace_back(f);
            return true;
        });
        PositiveFields fields(line, fieldSeparator(line));
        std::string_view f;
        while (fields.next(f)) got.emplace_back(f);
        EXPECT_EQ(got, expected) << line;
    }
}

namespace {

std::vector<std::string> linesOf(const QString& path, qint64 limit = -1) {
    PeakListLineReader reader(path, limit);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.readLine(line)) lines.emplace_back(line);
    return lines;
}

}  // namespace

TEST(PeakListLineReader, LineEndsOfEverySystem) {
    testsupport::TempHome home;
    const struct { QByteArray bytes; std::vector<std::string> lines; } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const QString path = home.file("f.txt");
        testsupport::writeFile(path, c.bytes);
        EXPECT_EQ(linesOf(path), c.lines) << c.bytes.toStdString();
    }
}

TEST(PeakListLineReader, BlockBoundariesLongLinesAndLimit) {
    testsupport::TempHome home;
    const qsizetype block = PeakListLineReader::kBlockSize;
    const QString path = home.file("big.txt");

    // CR as the last byte of a block, its LF the first of the next.
    testsupport::writeFile(path, QByteArray(block - 1, 'x') + "\r\nnext\r\n");
    auto lines = linesOf(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), size_t(block - 1));
    EXPECT_EQ(lines[1], "next");

    // A line longer than the block is cut; its rest is skipped, not a new line.
    testsupport::writeFile(path, QByteArray(block + 10, 'y') + "\nnext");
    lines = linesOf(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), size_t(block));
    EXPECT_EQ(lines[1], "next");

    // The block is as small as the file was when opened; a file that grows
    // meanwhile still has its lines cut at the whole block only.
    testsupport::writeFile(path, "short\n");
    {
        PeakListLineReader reader(path);
        QFile grown(path);
        ASSERT_TRUE(grown.open(QIODevice::Append));
        grown.write(QByteArray(block / 2, 'z') + "\n" + QByteArray(block + 1, 'w') + "\nend");
        grown.close();
        std::vector<size_t> sizes;
        std::string_view line;
        while (reader.readLine(line)) sizes.push_back(line.size());
        EXPECT_EQ(sizes, (std::vector<size_t>{5, size_t(block / 2), size_t(block), 3}));
    }

    testsupport::writeFile(path, "one\r\ntwo\r\n");
    EXPECT_EQ(linesOf(path, 6), (std::vector<std::string>{"one", "t"}));
    EXPECT_THROW(PeakListLineReader(home.file("missing")), platform::Error);
}

// What the reader's rules make of a text, one line end at a time: CR LF,
// LF or CR ends a line; a line longer than `block` keeps its first `block`
// bytes.
std::vector<std::string> plainSplit(std::string_view text, size_t block) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < text.size();) {
        size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
        lines.emplace_back(text.substr(i, std::min(j - i, block)));
        if (j + 1 < text.size() && text[j] == '\r' && text[j + 1] == '\n') ++j;
        i = j + 1;
    }
    return lines;
}

// Files of several blocks are read ahead a block at a time: lines of every
// length around a block's free front and the block itself, every line end
// on every block edge, and limits, give the lines of a plain split.
TEST(PeakListLineReader, FilesOfManyBlocksGiveTheLinesOfAPlainSplit) {
    testsupport::TempHome home;
    const qsizetype block = PeakListLineReader::kBlockSize;
    const qsizetype front = detail::ReadAhead::kFront;
    const qsizetype lengths[] = {0, 1, 17, front - 1, front, front + 1, 300000, block - 1, block, block + 5, 2 * block + 3};
    const char* const ends[] = {"\r\n", "\n", "\r"};
    std::string bytes;
    int k = 0;
    for (int round = 0; round < 3; ++round) {
        for (qsizetype n : lengths) {
            bytes += std::string(size_t(n), char('a' + k % 26));
            bytes += n == 0 ? "\r\n" : ends[k % 3];  // an empty line after a CR needs its own CR
            ++k;
        }
        for (int i = 0; i < 70000; ++i) bytes += std::to_string(i) + ends[(i + round) % 3];
    }
    const QString path = home.file("long.txt");
    testsupport::writeFile(path, QByteArray::fromStdString(bytes));
    EXPECT_EQ(linesOf(path), plainSplit(bytes, size_t(block)));
    for (qint64 limit : {qint64(block) + 1, 3 * qint64(block) + 12345, qint64(bytes.size()) - 1}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(linesOf(path, limit), plainSplit(std::string_view(bytes).substr(0, size_t(limit)), size_t(block)));
    }
    // Trailing end-of-file marks are no text.
    testsupport::writeFile(path, QByteArray::fromStdString(bytes + "\x1a\x1a"));
    EXPECT_EQ(linesOf(path, PeakListLineReader::kTextLength), plainSplit(bytes, size_t(block)));
}

// Many blocks of every kind of write: the file gets what memory gets, in
// order, whichever thread writes the blocks; a failure past the first block
// is still reported, with the number of a full disk.
TEST(PeakListWriter, ManyBlocksReachTheFileWholeAndInOrder) {
    testsupport::TempHome home;
    const qsizetype block = PeakListWriter::kWriteBlock;
    const auto writeAll = [&](PeakListWriter& out) {
        QByteArray run(PeakListWriter::kDirectWrite + 7, 'r');
        for (int i = 0; i < 3 * block / run.size() + 5; ++i) {
            run[0] = char('a' + i % 26);
            out.write(std::string_view(run.constData(), size_t(run.size())));
            out.writeLine("line ", std::to_string(i));
            char* room = out.lineRoom();
            const auto end = std::to_chars(room, room + PeakListWriter::kLineRoom, i).ptr;
            out.commitLine(end);
        }
        out.write(std::string_view(QByteArray(2 * block + 3, 'b').constData(), size_t(2 * block + 3)));
        out.write("end");
    };
    PeakListWriter memory;
    writeAll(memory);
    PeakListWriter file;
    ASSERT_TRUE(file.create(home.file("out")));
    writeAll(file);
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.failed());
    EXPECT_EQ(file.bytesWritten(), memory.text().size());
    EXPECT_TRUE(testsupport::readFile(home.file("out")) == memory.text());

    if (QFile::exists("/dev/full")) {
        PeakListWriter full;
        ASSERT_TRUE(full.create("/dev/full"));
        writeAll(full);
        EXPECT_FALSE(full.close());
        EXPECT_TRUE(full.failed());
        EXPECT_TRUE(full.errorText().contains("/dev/full"));
    }
}
