#include "convert/PeakListCache.h"

#include "ConvertTestHelpers.h"

#include <gtest/gtest.h>

using namespace tavrelsvc;

TEST(PeakListCache, FileNames) {
    const QString folder20 = QString(19, 'c').prepend('/');  // 20 characters
    const struct { QString data; std::optional<qint64> sample; QString folder; QString expected; } cases[] = {
        {"D:\\data\\run1.raw", std::nullopt, "/qpl/12", "/qpl/12/D~~data~run1.raw.qpl"},
        {"D:\\data\\run1.raw", 3, "/qpl/12", "/qpl/12/D~~data~run1.raw.3.qpl"},
        {"\\\\server\\share\\a.raw", 0, "/q", "/q/~~server~share~a.raw.0.qpl"},
        {"/home/u/a.wiff", -1, "/q", "/q/~home~u~a.wiff.-1.qpl"},
        {"x.raw", std::nullopt, QString(254, 'f'), QString(254, 'f') + "/"},
        {"x.raw", std::nullopt, QString(255, 'f'), ""},
        // Cutting from the front leaves a blank there, which goes.
        {"ab cd.raw", std::nullopt, QString(243, 'f'), QString(243, 'f') + "/cd.raw.qpl"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clsJob_PeakListCacheFileName(c.data, "qpl", c.folder, c.sample), c.expected) << c.data.toStdString();

    const QString longName = clsJob_PeakListCacheFileName(QString(400, 'a'), "qpl", folder20, 7);
    EXPECT_EQ(longName.size(), 255);
    EXPECT_TRUE(longName.endsWith("aaa.7.qpl"));
    // Non-ASCII names are cut to what the file system takes (255 bytes).
    const QString wide = clsJob_PeakListCacheFileName(QString(300, QChar(0x00e9)), "qpl", "/q", 1);
    EXPECT_LE(QFile::encodeName(wide.mid(3)).size(), 255);
    EXPECT_TRUE(wide.endsWith(".1.qpl"));
}

TEST(PeakListCache, TextFileLengthAndSizeRule) {
    converttest::LoggedHome home;
    const struct { QByteArray bytes; qint64 length; bool peakList; } cases[] = {
        {"1234567\x1a\x1a\x1a", 7, true},
        {"x", 0, false},
        {"\x1a\x1a\x1a\x1a", 0, true},
        {"abc", 3, false},
        {"", 0, false},
        {QByteArray(5000, 'a') + QByteArray(9000, '\x1a'), 5000, true},
    };
    for (const auto& c : cases) {
        const QString path = home.put("f.bin", c.bytes);
        EXPECT_EQ(clsJob_TextFileLength(path, {}), c.length) << c.bytes.size();
        EXPECT_EQ(PeakListSizeRule(path), c.peakList) << c.bytes.size();
    }
    EXPECT_EQ(clsJob_TextFileLength("", {}), 0);
    EXPECT_FALSE(PeakListSizeRule(home.file("missing")));

    PeakListJobContext job;
    job.uID = 4;
    job.task_label = "lab";
    job.Data_file = "a.raw";
    EXPECT_EQ(clsJob_TextFileLength(home.file("missing"), job), 0);
    EXPECT_TRUE(home.log().contains(",4,lab,a.raw,(TVS1073) 53: "));
}
