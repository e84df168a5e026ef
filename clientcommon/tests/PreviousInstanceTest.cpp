#include "clientcommon/PreviousInstance.h"

#include "platform/MessageBox.h"
#include "platform/SystemNames.h"
#include "platform/testsupport/TestSupport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using tavrel::InstanceClaim;

namespace {

struct Boxes : platform::MessageBoxHandler {
    QStringList texts;
    int show(const QString& text, int, const QString& title) override {
        texts << text;
        EXPECT_EQ(title, "Sorvex Tavrel");
        return platform::vbOK;
    }
};

class PreviousInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = platform::setMessageBoxHandler(&boxes); }
    void TearDown() override { platform::setMessageBoxHandler(previous_); }
    testsupport::TempHome home;
    const QString user = platform::userName();  // the account a second start runs as
    Boxes boxes;

private:
    platform::MessageBoxHandler* previous_ = nullptr;
};

}  // namespace

TEST_F(PreviousInstanceTest, OneClaimPerUserAndProgramFolder) {
    QTemporaryDir otherFolder;
    InstanceClaim first(home.path(), user);
    EXPECT_TRUE(first.isFirst());
    EXPECT_FALSE(InstanceClaim(home.path(), user).isFirst());
    EXPECT_FALSE(InstanceClaim(home.path(), user.toUpper()).isFirst());  // user names ignore case
    EXPECT_TRUE(InstanceClaim(home.path(), "bob").isFirst());
    EXPECT_TRUE(InstanceClaim(otherFolder.path(), user).isFirst());
}

TEST_F(PreviousInstanceTest, ASecondStartBringsTheFirstForward) {
    InstanceClaim first(home.path(), user);
    int broughtForward = 0;
    ASSERT_TRUE(first.listen([&] { ++broughtForward; }));
    EXPECT_FALSE(InstanceClaim(home.path(), user).listen([] {}));  // only the first listens

    tavrel::modGlobal_CheckPreviousInstance();
    EXPECT_EQ(broughtForward, 1);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(PreviousInstanceTest, AFirstThatDoesNotAnswerIsReported) {
    InstanceClaim first(home.path(), user);  // holds the claim but never listens
    tavrel::modGlobal_CheckPreviousInstance();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0],
              "There appears to be another instance of Tavrel running, but I can't find it to restore it");
}

TEST_F(PreviousInstanceTest, TheClaimEndsWithItsHolder) {
    std::optional<InstanceClaim> first;
    first.emplace(home.path(), user);
    ASSERT_TRUE(first->isFirst());
    first.reset();
    EXPECT_TRUE(InstanceClaim(home.path(), user).isFirst());
}
