// The main engines' two settings, kept in step with the vessel named vesselName:
// the main group's total maximum thrust (N, split evenly over its thrusters) and
// the specific impulse that every main thruster has (N*s/kg).
//
// When no vessel bears the name, every operation leaves the vessel and the
// record exactly as they were.
#pragma once

// totalThrust = the sum of the main thrusters' maximum thrust.
void readMainThrust();
// mainIsp = the mean specific impulse of the main thrusters (NaN for none).
void readMainIsp();
// Gives each main thruster total / count as its maximum thrust; totalThrust = total.
void applyTotalThrust(double total);
// Gives every main thruster this specific impulse; mainIsp = isp.
void applyIsp(double isp);
