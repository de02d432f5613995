// The call trace: silent while off, exact call order and arguments while on.
#include "tests/support/world_fixture.h"

namespace {

class CallTrace : public WorldTest {};

TEST_F(CallTrace, RecordsNothingWhileOff) {
    w().addVessel("Tug");
    VESSEL* vessel = oapiGetVesselInterface(oapiGetVesselByName("Tug"));
    vessel->DeactivateNavmode(1);
    EXPECT_TRUE(simhost::traceEntries().empty());
}

TEST_F(CallTrace, RecordsCallsInOrderWithTheirArguments) {
    w().addVessel("Tug");
    simhost::setTraceEnabled(true);
    VESSEL* vessel = oapiGetVesselInterface(oapiGetVesselByName("Tug"));
    vessel->DeactivateNavmode(3);
    VECTOR3 out{};
    vessel->Local2Global(vec3(1, 0, 0), out);
    vessel->GetRelativePos(oapiGetObjectByName("Earth"), out);
    vessel->SetThrusterGroupLevel(THGROUP_MAIN, 0.5);
    const std::vector<std::string> expected = {
        "oapiGetVesselByName(Tug)", "oapiGetVesselInterface(Tug)", "DeactivateNavmode(3)", "Local2Global((1, 0, 0))",
        "oapiGetObjectByName(Earth)", "GetRelativePos(Earth)", "SetThrusterGroupLevel(0, 0.5)"};
    EXPECT_EQ(simhost::traceEntries(), expected);
    EXPECT_EQ(simhost::traceCount("DeactivateNavmode"), 1);
    EXPECT_EQ(simhost::traceCount("Deactivate"), 0);  // whole names only
}

}  // namespace
