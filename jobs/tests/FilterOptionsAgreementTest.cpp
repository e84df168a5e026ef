// The service reads a Quellmark option string one way everywhere: the
// watched-folder walk decides whether the task's data items are folders by
// the data format that the conversion gives the library, and both take the
// string through the codec's service reading (a string too short for the
// filter gives way to the service's default whole).
#include "convert/ImportQuellmarkOptions.h"
#include "filteropts/OptionString.h"
#include "jobs/JobWatchedFolders.h"

#include <gtest/gtest.h>

using namespace filteropts;

TEST(FilterOptionsAgreement, QuellmarkDataFormatIsReadAlikeByConversionAndFolderWalk) {
    struct Case {
        const char* options;
        const char* format;  // the data format the conversion gives the library
        bool folders;        // what the watched-folder walk decides
    } cases[] = {
        {",9,0,0,,,1,0,0,0,1", "9", true},
        {",0,0,0,,,1,0,0,0,1", "0", false},
        {",13.0,1,0,,,1,0,0,0,1,-1,True", "13.0", true},
        {",9,1,0", "0", false},  // too short: the default's format, for the walk as for the conversion
        {",5", "0", false},
        {"", "0", false},
        {",x,0,0,,,1,0,0,0,1", "0", false},  // not a number: the field's default
        {",2,0,0,,,1,0,0,0,1", "2", true},
        {",12,0,0,,,1,0,0,0,1", "12", true},
        {",7,0,0,,,1,0,0,0,1", "7", false},
    };
    const QString quellmark = QStringLiteral("Sorvex Quellmark");
    for (const Case& c : cases) {
        const QString options = QString::fromLatin1(c.options);
        const FilterOptions service = readFilterOptions(kQuellmark, options);
        const int code = fieldIndex(kQuellmark, quellmark::DataFormat, service.fields[quellmark::DataFormat]);
        EXPECT_EQ(tavrelsvc::readQuellmarkOptions(options).dataFormat(), QString::fromLatin1(c.format)) << c.options;
        EXPECT_EQ(tavrelsvc::readQuellmarkOptions(options).dataFormatCode(), code) << c.options;
        EXPECT_EQ(tavrelsvc::clsJob_QuellmarkDataIsFolder(quellmark, options), c.folders) << c.options;
        EXPECT_EQ(tavrelsvc::quellmarkFormatIsFolder(code), c.folders) << c.options;
    }
    EXPECT_FALSE(tavrelsvc::clsJob_QuellmarkDataIsFolder(QStringLiteral("Masslynx sample list"),
                                                         QStringLiteral(",9,0,0,,,1,0,0,0,1")));
}
