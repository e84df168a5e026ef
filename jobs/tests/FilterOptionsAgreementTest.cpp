// The service's reading of an option string and the options dialog's go
// through the same codec: the data format that the dialog shows for a
// Quellmark string is the one by which the watched-folder walk decides
// whether the task's data items are folders.
#include "filteropts/OptionString.h"
#include "jobs/JobWatchedFolders.h"

#include <gtest/gtest.h>

using namespace filteropts;

TEST(FilterOptionsAgreement, QuellmarkDataFormatIsReadAlikeByDialogAndFolderWalk) {
    struct Case {
        const char* options;
        int shownFormat;  // the data format the dialog selects (readOptions)
        bool folders;     // what the watched-folder walk decides
    } cases[] = {
        {",9,0,0,,,1,0,0,0,1", 9, true},
        {",0,0,0,,,1,0,0,0,1", 0, false},
        {",13.0,1,0,,,1,0,0,0,1,-1,True", 13, true},
        {",9,1,0", 9, true},        // 4 fields: the data format is read
        {",5", 0, false},           // too short: the built-in default's format
        {"", 0, false},
        {",x,0,0,,,1,0,0,0,1", 0, false},  // not a number: the field's default
        {",2,0,0,,,1,0,0,0,1", 2, true},
        {",12,0,0,,,1,0,0,0,1", 12, true},
        {",7,0,0,,,1,0,0,0,1", 7, false},
    };
    const QString quellmark = QStringLiteral("Sorvex Quellmark");
    for (const Case& c : cases) {
        const QString options = QString::fromLatin1(c.options);
        const OptionReading reading = readOptions(kQuellmark, options);
        EXPECT_EQ(fieldIndex(kQuellmark, quellmark::DataFormat, reading.fields[quellmark::DataFormat]), c.shownFormat)
            << c.options;
        EXPECT_EQ(tavrelsvc::clsJob_QuellmarkDataIsFolder(quellmark, options), c.folders) << c.options;
    }
    EXPECT_FALSE(tavrelsvc::clsJob_QuellmarkDataIsFolder(QStringLiteral("Masslynx sample list"),
                                                         QStringLiteral(",9,0,0,,,1,0,0,0,1")));
}
