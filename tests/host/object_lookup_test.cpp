// Name lookups, focus and object names as the module uses them.
#include <cstring>
#include <string>

#include "host/world/names.h"
#include "tests/support/world_fixture.h"

namespace {

class ObjectLookup : public WorldTest {};

TEST_F(ObjectLookup, EachLookupFindsOnlyItsKindOfObject) {
    simhost::Vessel* tug = w().addVessel("Tug");
    ASSERT_NE(tug, nullptr);
    const OBJHANDLE earthHandle = oapiGetObjectByName("Earth");
    ASSERT_NE(earthHandle, nullptr);
    EXPECT_EQ(oapiGetGbodyByName("Earth"), earthHandle);
    EXPECT_EQ(oapiGetVesselByName("Earth"), nullptr);
    EXPECT_EQ(oapiGetGbodyByName("Tug"), nullptr);
    EXPECT_EQ(oapiGetVesselByName("Tug"), oapiGetObjectByName("Tug"));
    EXPECT_EQ(oapiGetObjectByName("Pluto"), nullptr);
    EXPECT_EQ(oapiGetObjectByName(""), nullptr);
    EXPECT_EQ(oapiGetObjectByName(static_cast<char*>(nullptr)), nullptr);
    // A pilot's typing need not match the letter case.
    EXPECT_EQ(oapiGetGbodyByName("eARTH"), earthHandle);
    EXPECT_EQ(oapiGetVesselByName("tug"), oapiGetVesselByName("Tug"));
}

TEST_F(ObjectLookup, VesselInterfaceOnlyForVessels) {
    simhost::Vessel* tug = w().addVessel("Tug");
    VESSEL* vessel = oapiGetVesselInterface(oapiGetVesselByName("Tug"));
    ASSERT_NE(vessel, nullptr);
    EXPECT_EQ(vessel, &tug->vesselInterface());
    EXPECT_STREQ(vessel->GetName(), "Tug");
    EXPECT_EQ(vessel->GetHandle(), oapiGetVesselByName("Tug"));
    EXPECT_EQ(oapiGetVesselInterface(nullptr), nullptr);
    EXPECT_EQ(oapiGetVesselInterface(oapiGetGbodyByName("Moon")), nullptr);
    int notAnObject = 0;
    EXPECT_EQ(oapiGetVesselInterface(&notAnObject), nullptr);
}

TEST_F(ObjectLookup, NamesAreUniqueAcrossBodiesAndVessels) {
    EXPECT_EQ(w().addVessel("earth"), nullptr);
    ASSERT_NE(w().addVessel("Tug"), nullptr);
    EXPECT_EQ(w().addVessel("TUG"), nullptr);
}

TEST_F(ObjectLookup, FocusAndBoundedNameCopy) {
    EXPECT_EQ(oapiGetFocusObject(), nullptr);
    simhost::Vessel* station = w().addVessel("International Space Station");
    w().setFocus(station);
    ASSERT_EQ(oapiGetFocusObject(), oapiGetVesselByName("International Space Station"));

    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    oapiGetObjectName(oapiGetFocusObject(), buffer, 6);
    EXPECT_STREQ(buffer, "Inter");  // n-1 characters and the terminator
    EXPECT_EQ(buffer[6], '#');      // nothing written past n
    oapiGetObjectName(oapiGetFocusObject(), buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "International Space Station");
    oapiGetObjectName(nullptr, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
    oapiGetObjectName(oapiGetFocusObject(), buffer, 0);  // nothing to write into
    EXPECT_STREQ(buffer, "");
}

// Names compared a word at a time: every length up to three words, a
// difference at every position, letter case ignored only for ASCII letters.
TEST(NameComparison, EveryLengthWithADifferenceAtEveryPosition) {
    for (std::size_t n = 0; n <= 24; ++n) {
        std::string name(n, ' ');
        for (std::size_t i = 0; i < n; ++i) name[i] = static_cast<char>('a' + (i * 7) % 26);
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
        EXPECT_TRUE(simhost::sameName(name, name)) << n;
        EXPECT_TRUE(simhost::sameName(name, upper)) << n;
        EXPECT_FALSE(simhost::sameName(name, name + "a")) << n;
        for (std::size_t i = 0; i < n; ++i) {
            std::string other = name;
            other[i] = other[i] == 'z' ? 'y' : static_cast<char>(other[i] + 1);
            EXPECT_FALSE(simhost::sameName(name, other)) << n << " " << i;
            EXPECT_FALSE(simhost::sameName(upper, other)) << n << " " << i;
            other[i] = static_cast<char>(name[i] - 'a' + '[');  // '[' .. 't': not the letter in another case
            EXPECT_FALSE(simhost::sameName(name, other)) << n << " " << i;
        }
    }
}

TEST(Date2Int, TurnsTheHostsDateTextIntoAnInteger) {
    EXPECT_EQ(Date2Int("Apr 25 2006"), 60425);
    EXPECT_EQ(Date2Int("Dec 31 1999"), 991231);
    EXPECT_EQ(Date2Int("Jan  1 2010"), 100101);
    for (const char* bad : {"", "Apr 25 06", "April 25 2006", "Foo 25 2006", "Apr 32 2006", "Apr 2x 2006", "Apr 25 2006 "})
        EXPECT_EQ(Date2Int(bad), 0) << bad;
    EXPECT_EQ(Date2Int(nullptr), 0);
}

}  // namespace
