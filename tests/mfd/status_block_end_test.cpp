// A display's status reading stops at its block's END_MFD. The host hands
// ReadStatus the scenario itself, and its line reader goes on past END_MFD to
// the next END: read on, one display would take the next display's block and
// any line after its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/scenario/scenario_file.h"
#include "mfd/status_line.h"
#include "tests/support/display_test.h"

namespace {

// Two displays' blocks, a decoy line between them that a reader running on
// would take for the ISP, and the vessel's END after them.
const char* const kTwoDisplays = R"(BEGIN_MFD Left
  TYPE User
  MODE ZOLKMFD
  ATT 1
  MOT 300
  RBD Earth
  VES Tug
end_mfd
ISP 4444
BEGIN_MFD Right
  TYPE User
  MODE ZOLKMFD
  ABP 1
  RBD Moon
END_MFD
BEGIN_SHIPS
Tug
  EMPTY_MASS 1000
  TANK 400 400
  THRUSTER 0 0 -2 0 0 1 50 3000 0 0
  THRUSTER 0 0.5 -2 0 0 1 50 3000 0 0
  GROUP MAIN 0 1
END
END_SHIPS
)";

class StatusBlockEnd : public DisplayTest {};

TEST_F(StatusBlockEnd, EachDisplayReadsItsOwnBlockAndNothingAfterIt) {
    const simhost::ScenarioLoad loaded = simhost::loadScenarioText(kTwoDisplays, "two.scn");
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);

    // Both blocks found: the right display is open, and its block was read.
    EXPECT_EQ(w().cockpit().displays().size(), 2u);
    ASSERT_NE(w().cockpit().display("Right"), nullptr);
    EXPECT_NE(w().cockpit().display("Right")->object(), nullptr);
    EXPECT_EQ(pluginState.attitudeHold, 1);
    EXPECT_EQ(pluginState.autoBurn, 1);
    EXPECT_STREQ(pluginState.refName, "Moon");
    EXPECT_STREQ(pluginState.vesselName, "Tug");

    // The decoy line after the first END_MFD reached neither record nor vessel.
    const simhost::Vessel& tug = *w().findVessel("Tug");
    EXPECT_EQ(pluginState.mainIsp, 3000.0);
    EXPECT_EQ(tug.thrusters[0]->isp, 3000.0);
    EXPECT_EQ(tug.thrusters[1]->isp, 3000.0);
    EXPECT_EQ(tug.thrusters[0]->max0, 150.0);  // the left block's MOT 300, split

    // The host warns of the stray line only: no display block went unread.
    ASSERT_EQ(loaded.warnings.size(), 1u);
    EXPECT_EQ(loaded.warnings[0].line, 9);
}

TEST_F(StatusBlockEnd, OnlyALineBeginningWithEndMfdEndsTheBlock) {
    for (const char* end : {"END_MFD", "End_Mfd", "END_MFD trailing text"}) EXPECT_TRUE(endsStatusBlock(end)) << end;
    for (const char* other : {"END", "END_MF", "END_SHIPS", " END_MFD", "XEND_MFD", ""})
        EXPECT_FALSE(endsStatusBlock(other)) << other;
}

}  // namespace
