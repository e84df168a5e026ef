#include "params/ParameterSet.h"

#include "common/tests/PrintParameterLine.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// An MS/MS set with every control holding a value.
ParameterSetValues fullMsmsSet() {
    ParameterSetValues v;
    v.com = "<taskname> (<parameters>)";
    v.seg = "";
    v.tol = "1.2";
    v.tolu = "Da";
    v.itol = "0.6";
    v.itolu = "mmu";
    v.pfa = "1";
    v.db = {"MSDB", "SwissProt"};
    v.mods = {"Carbamidomethyl (C)"};
    v.massAverage = true;
    v.cle = "Trypsin";
    v.msms = true;
    v.username = "Ann Müller";
    v.useremail = "ann=x@example.org";
    v.charge = "2+ and 3+";
    v.report = "AUTO";
    v.format = "Sequest (.DTA)";
    v.itMods = {"Oxidation (M)", "Phospho (ST)"};
    v.taxonomy = "All entries";
    v.instrument = "ESI-TRAP";
    v.pepIsotopeError = {"1", 1};
    v.decoy = true;
    v.errorTolerant = true;
    v.quantitation = {"iTRAQ 4plex", 2};
    v.serverAtLeast2_2 = true;
    return v;
}

QStringList keysOf(const ParameterSetValues& v) {
    QList<ParameterLine> lines;
    EXPECT_FALSE(parameterFileLines(v, "x.par", lines));
    QStringList keys;
    for (const auto& l : lines) keys << l.key;
    return keys;
}

}  // namespace

TEST(ParameterSetTest, FullSetIsWrittenInKeyOrderAndReadsBackLineForLine) {
    testsupport::TempHome home;
    const QString path = home.file("full.par");
    ASSERT_FALSE(writeParameterFile(path, fullMsmsSet()));

    EXPECT_EQ(testsupport::readFile(path),
              QByteArray("COM=<taskname> (<parameters>)\r\n"
                         "SEG=\r\n"
                         "TOL=1.2\r\n"
                         "TOLU=Da\r\n"
                         "ITOL=0.6\r\n"
                         "ITOLU=mmu\r\n"
                         "PFA=1\r\n"
                         "DB=MSDB,SwissProt\r\n"
                         "MODS=Carbamidomethyl (C)\r\n"
                         "MASS=Average\r\n"
                         "CLE=Trypsin\r\n"
                         "SEARCH=MIS\r\n"
                         "USERNAME=Ann M\xFCller\r\n"
                         "USEREMAIL=ann=x@example.org\r\n"
                         "CHARGE=2+ and 3+\r\n"
                         "REPORT=AUTO\r\n"
                         "FORMAT=Sequest (.DTA)\r\n"
                         "IT_MODS=Oxidation (M),Phospho (ST)\r\n"
                         "TAXONOMY=All entries\r\n"
                         "INSTRUMENT=ESI-TRAP\r\n"
                         "PEP_ISOTOPE_ERROR=1\r\n"
                         "DECOY=1\r\n"
                         "ERRORTOLERANT=1\r\n"
                         "QUANTITATION=iTRAQ 4plex\r\n"));

    QList<ParameterLine> written;
    ASSERT_FALSE(parameterFileLines(fullMsmsSet(), path, written));
    const auto read = readParameterFileLines(path, ParameterLineRule::RejectLinesWithoutEquals);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.lines, written);
}

TEST(ParameterSetTest, ConditionalKeysFollowMsmsFlagsChoicesAndServerVersion) {
    ParameterSetValues pmf = fullMsmsSet();
    pmf.msms = false;  // MS/MS-only values stay in the controls but are not written

    ParameterSetValues pmfOldServer = pmf;
    pmfOldServer.serverAtLeast2_2 = false;
    pmfOldServer.decoy = false;

    ParameterSetValues misOldServer = fullMsmsSet();
    misOldServer.serverAtLeast2_2 = false;

    ParameterSetValues firstEntries = fullMsmsSet();
    firstEntries.pepIsotopeError = {"0", 0};
    firstEntries.quantitation = {"None", 0};
    firstEntries.errorTolerant = false;
    firstEntries.decoy = false;

    ParameterSetValues nothingChosen = firstEntries;
    nothingChosen.pepIsotopeError = {"", -1};
    nothingChosen.quantitation = {"", -1};

    const QStringList common1{"COM", "SEG", "TOL", "TOLU"};
    const QStringList common2{"PFA", "DB", "MODS", "MASS", "CLE", "SEARCH"};
    const QStringList common3{"USERNAME", "USEREMAIL", "CHARGE", "REPORT"};
    const struct {
        const char* name;
        ParameterSetValues values;
        QStringList keys;
    } cases[] = {
        {"pmf keeps decoy", pmf,
         common1 + common2 + common3 + QStringList{"IT_MODS", "TAXONOMY", "DECOY"}},
        {"pmf on old server", pmfOldServer,
         common1 + common2 + QStringList{"REPTYPE"} + common3 + QStringList{"IT_MODS", "TAXONOMY"}},
        {"mis on old server", misOldServer,
         common1 + QStringList{"ITOL", "ITOLU"} + common2 + QStringList{"REPTYPE"} + common3 +
             QStringList{"FORMAT", "IT_MODS", "TAXONOMY", "INSTRUMENT", "PEP_ISOTOPE_ERROR", "DECOY",
                         "ERRORTOLERANT", "QUANTITATION"}},
        {"first entries and flags cleared", firstEntries,
         common1 + QStringList{"ITOL", "ITOLU"} + common2 + common3 +
             QStringList{"FORMAT", "IT_MODS", "TAXONOMY", "INSTRUMENT"}},
        {"no entry chosen", nothingChosen,
         common1 + QStringList{"ITOL", "ITOLU"} + common2 + common3 +
             QStringList{"FORMAT", "IT_MODS", "TAXONOMY", "INSTRUMENT"}},
    };
    for (const auto& c : cases) EXPECT_EQ(keysOf(c.values), c.keys) << c.name;

    QList<ParameterLine> lines;
    ASSERT_FALSE(parameterFileLines(pmfOldServer, "x.par", lines));
    EXPECT_EQ(lines[9], (ParameterLine{"SEARCH", "PMF", 10}));
    EXPECT_EQ(lines[10], (ParameterLine{"REPTYPE", "Protein", 11}));
    ASSERT_FALSE(parameterFileLines(misOldServer, "x.par", lines));
    EXPECT_EQ(lines[11], (ParameterLine{"SEARCH", "MIS", 12}));
    EXPECT_EQ(lines[12], (ParameterLine{"REPTYPE", "Peptide", 13}));
}

TEST(ParameterSetTest, EmptyListsAreEmptyValuesAndEntriesWithCommasAreRefused) {
    ParameterSetValues v;
    QList<ParameterLine> lines;
    ASSERT_FALSE(parameterFileLines(v, "x.par", lines));
    for (const auto& l : lines) {
        if (l.key == "DB" || l.key == "MODS" || l.key == "IT_MODS") {
            EXPECT_EQ(l.value, "") << l.key.toStdString();
        }
        if (l.key == "MASS") {
            EXPECT_EQ(l.value, "Monoisotopic");
        }
    }

    testsupport::TempHome home;
    const QString path = home.file("bad.par");
    v.itMods = {"Oxidation (M)", "Label:13C(6),15N(2) (K)"};
    const auto error = writeParameterFile(path, v);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, ParameterFileError::Kind::NotWritable);
    EXPECT_TRUE(error->message.contains("IT_MODS"));
    EXPECT_TRUE(error->message.contains("Label:13C(6),15N(2) (K)"));
    EXPECT_FALSE(QFile::exists(path));
}
