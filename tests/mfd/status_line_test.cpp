// Status lines one at a time: which key a line matches and what its value
// parses to, including text the value parsers must not run past.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mfd/status_line.h"
#include "tests/support/module_test.h"

namespace {

class StatusLine : public ModuleTest {
protected:
    StatusRead read(const std::string& line) {
        StatusRead status;
        readStatusLine(line.c_str(), status);
        return status;
    }
};

TEST_F(StatusLine, KeysMatchTheFirstThreeLettersInAnyCase) {
    read("att 1");
    EXPECT_EQ(pluginState.attitudeHold, 1);
    read("ATTITUDE 0");  // "ITUDE 0" holds no integer
    EXPECT_EQ(pluginState.attitudeHold, 1);
    read("ATT 7");
    EXPECT_EQ(pluginState.attitudeHold, 7);
    read("ATT\t-3 trailing");
    EXPECT_EQ(pluginState.attitudeHold, -3);
    read("aBp 1");
    EXPECT_EQ(pluginState.autoBurn, 1);

    const RecordBytes before = recordBytes();
    for (const char* line : {"", "A", "AT", "ATT", "ATT ", "ATX 1", " ATT 1", "XYZ 1", "RBD", "RBD    ", "VES\t"})
        read(line);
    EXPECT_EQ(recordBytes(), before);
}

TEST_F(StatusLine, IntegersOutsideThe32BitRangeLeaveTheSwitch) {
    pluginState.attitudeHold = 1;
    for (const char* line : {"ATT 2147483648", "ATT -2147483649", "ATT 99999999999999999999999", "ATT +", "ATT -"}) {
        read(line);
        EXPECT_EQ(pluginState.attitudeHold, 1) << line;
    }
    read("ATT 2147483647");
    EXPECT_EQ(pluginState.attitudeHold, 2147483647);
    read("ATT -2147483648");
    EXPECT_EQ(pluginState.attitudeHold, INT32_MIN);
    read("ATT +0");
    EXPECT_EQ(pluginState.attitudeHold, 0);
}

TEST_F(StatusLine, ThrustAndIspAreMarkedOnlyWhenTheyParse) {
    StatusRead status = read("MOT 250000.5");
    EXPECT_TRUE(status.thrustRead);
    EXPECT_FALSE(status.ispRead);
    EXPECT_EQ(pluginState.statusMot, 250000.5);

    status = read("mot  newtons");
    EXPECT_FALSE(status.thrustRead);
    EXPECT_EQ(pluginState.statusMot, 250000.5);

    status = read("ISP 0.1");
    EXPECT_TRUE(status.ispRead);
    EXPECT_EQ(pluginState.statusIsp, 0.1);  // double precision, unlike a typed entry
    status = read("ISP 1e999");
    EXPECT_TRUE(status.ispRead);
    EXPECT_TRUE(std::isinf(pluginState.statusIsp));
}

TEST_F(StatusLine, NamesAreOneTokenCutToTheField) {
    read("RBD Earth Moon");
    EXPECT_STREQ(pluginState.refName, "Earth");
    read("VES   Space_Station  ");
    EXPECT_STREQ(pluginState.vesselName, "Space_Station");  // spaces come back after the block

    const std::string longToken(1000, 'n');
    read("VES " + longToken);
    EXPECT_EQ(std::string(pluginState.vesselName), longToken.substr(0, 255));
    EXPECT_STREQ(pluginState.refName, "Earth");  // the neighbouring field is untouched
}

}  // namespace
