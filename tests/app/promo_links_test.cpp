#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace snipwell {
namespace {

using Strings = std::vector<std::string>;

class PromoLinks : public test::FormFixture {};

TEST_F(PromoLinks, EachClickOpensOneMoreAddressInTheBrowser) {
    window.raise(FormEvent::Command8Click);
    window.raise(FormEvent::Label1Click);
    window.raise(FormEvent::Command8Click);
    EXPECT_EQ(window.openedAddresses,
              (Strings{"https://quorvane.example", "https://quorvane.example/redirect.html",
                       "https://quorvane.example"}));
    EXPECT_TRUE(media.commands.empty()) << "links never touch the player";
}

TEST_F(PromoLinks, ALinkThatCannotBeOpenedIsExplainedAndNothingElseChanges) {
    openTrack("/music/a.mp3", 60000);
    clearRecords();
    window.browserMissing = true;

    window.raise(FormEvent::Command8Click);

    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].title, "Snipwell 3.4");
    EXPECT_NE(window.messages[0].text.find("https://quorvane.example"), std::string::npos);
    EXPECT_FALSE(window.programEnded());
    EXPECT_TRUE(media.commands.empty());
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_EQ(form.sourceFile, "/music/a.mp3");
}

}  // namespace
}  // namespace snipwell
