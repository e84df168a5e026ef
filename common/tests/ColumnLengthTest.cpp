#include "common/TaskDbTables.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <limits>

// Texts that may lose their tail are cut to what their column holds, as the
// table definitions declare it: a column made longer or shorter there moves
// the cut with it.
TEST(ColumnLength, CutsToTheDeclaredLengthOfTheColumn) {
    const struct {
        const QString& table;
        const char* column;
        int length;
    } cases[] = {
        {common::kFilesTable, "file_comment", 255},
        {common::kFilesTable, "sorvex_task_id", 32},
        {common::kResultsTable, "title_text", 255},
        {common::kResultsTable, "input_data_file", 255},
        {common::kTasksTable, "action_response", 255},
        {common::kTasksTable, "schedule_type", 20},
    };
    const QString longText(400, QLatin1Char('x'));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        const QString column = QString::fromLatin1(c.column);
        EXPECT_EQ(common::columnLength(c.table, column), c.length);
        EXPECT_EQ(common::fitColumn(c.table, column, longText), longText.left(c.length));
        EXPECT_EQ(common::fitColumn(c.table, column, QStringLiteral("short")), "short");
    }
    // Long-text and number columns have no length to cut to.
    EXPECT_EQ(common::fitColumn(common::kFilesTable, QStringLiteral("intermediate"), longText), longText);
    EXPECT_EQ(common::columnLength(common::kTasksTable, QStringLiteral("fu_score")), std::numeric_limits<int>::max());
}

TEST(ColumnLength, AColumnTheTableLacksIsAnError) {
    try {
        common::fitColumn(common::kResultsTable, QStringLiteral("file_comment"), QStringLiteral("x"));
        ADD_FAILURE() << "an unknown column was cut";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::adoerr::ItemNotFound);
    }
}
