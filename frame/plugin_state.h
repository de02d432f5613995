// The module-wide state record: every setting, host handle, per-thruster table,
// figure and working value of the module. Every display, the per-step automation
// and the scenario status read and write this one record.
#pragma once

#include <cstdint>

#include "frame/host_compat.h"

// The main thruster group's tables have room for this many thrusters; larger
// groups are visited in full but only their first thrusters are recorded.
constexpr std::uint32_t kMainThrusterSlots = 4;
constexpr int kNameLength = 256;  // name fields, terminator included

struct PluginState {
    // Settings: changed by the pilot, saved with the scenario.
    std::int32_t attitudeHold;       // 0 off, 1 on; other values are left alone
    std::int32_t holdFrameCaptured;  // 1 once the hold has taken its reference
    std::int32_t autoBurn;           // 0 off, 1 on
    char refName[kNameLength];       // reference body
    char vesselName[kNameLength];    // vessel acted on
    double totalThrust;              // N, sum over the main thrusters
    double mainIsp;                  // N*s/kg

    // Host handles and per-thruster tables, refreshed from the vessel.
    OBJHANDLE refBody;
    std::uint32_t mainThrusterCount;
    THRUSTER_HANDLE mainThrusters[kMainThrusterSlots];
    double thrusterMaxThrust[kMainThrusterSlots];       // N
    double thrusterIsp[kMainThrusterSlots];             // N*s/kg
    PROPELLANT_HANDLE thrusterResource[kMainThrusterSlots];
    double thrusterPropellantMass[kMainThrusterSlots];  // kg

    // Results and working values.
    double maxAccPerDay;   // m/s gained per day at full main thrust
    double mainDeltaV;     // m/s
    double propellantSum;  // kg; 0 between steps
    std::int32_t modeId;   // registered display mode

    // Attitude hold: points in global coordinates (m), directions dimensionless.
    VECTOR3 holdStartPointX, holdStartPointY, holdStartPointZ;
    VECTOR3 holdFramePointX, holdFramePointY, holdFramePointZ;
    VECTOR3 holdAxisDiffX, holdAxisDiffY, holdAxisDiffZ;
    VECTOR3 holdLocalOffsetX, holdLocalOffsetY, holdLocalOffsetZ;  // the held attitude
    VECTOR3 holdTargetAxisX, holdTargetAxisY, holdTargetAxisZ;

    // Main-engine entry boxes: the last number parsed (single precision) and the ISP sum.
    float thrustEntry;
    float ispEntry;
    double ispSum;

    // Thrust (N) and specific impulse (N*s/kg) last read from a scenario.
    double statusMot;
    double statusIsp;
};

// Zero-initialised at load, like every object of static storage.
extern PluginState pluginState;

// Back to the state at load (for tests).
void resetPluginState();
