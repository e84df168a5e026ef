#include "common/PreviousInstance.h"

#include "platform/MessageBox.h"
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
    testsupport::EnvGuard user{"USERNAME", QByteArray("ann")};  // the user a second start runs as
    Boxes boxes;

private:
    platform::MessageBoxHandler* previous_ = nullptr;
};

}  // namespace

TEST_F(PreviousInstanceTest, OneClaimPerUserAndProgramFolder) {
    QTemporaryDir otherFolder;
    InstanceClaim first(home.path(), "ann");
    EXPECT_TRUE(first.isFirst());
    EXPECT_FALSE(InstanceClaim(home.path(), "ann").isFirst());
    EXPECT_FALSE(InstanceClaim(home.path(), "ANN").isFirst());  // user names ignore case
    EXPECT_TRUE(InstanceClaim(home.path(), "bob").isFirst());
    EXPECT_TRUE(InstanceClaim(otherFolder.path(), "ann").isFirst());
}

TEST_F(PreviousInstanceTest, ASecondStartBringsTheFirstForward) {
    InstanceClaim first(home.path(), "ann");
    int broughtForward = 0;
    ASSERT_TRUE(first.listen([&] { ++broughtForward; }));
    EXPECT_FALSE(InstanceClaim(home.path(), "ann").listen([] {}));  // only the first listens

    tavrel::modGlobal_CheckPreviousInstance();
    EXPECT_EQ(broughtForward, 1);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(PreviousInstanceTest, AFirstThatDoesNotAnswerIsReported) {
    InstanceClaim first(home.path(), "ann");  // holds the claim but never listens
    tavrel::modGlobal_CheckPreviousInstance();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0],
              "There appears to be another instance of Tavrel running, but I can't find it to restore it");
}

TEST_F(PreviousInstanceTest, TheClaimEndsWithItsHolder) {
    std::optional<InstanceClaim> first;
    first.emplace(home.path(), "ann");
    ASSERT_TRUE(first->isFirst());
    first.reset();
    EXPECT_TRUE(InstanceClaim(home.path(), "ann").isFirst());
}
