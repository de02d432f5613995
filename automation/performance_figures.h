// The main engines' figures shown on the page: the acceleration at full thrust
// as speed gained per day, and the delta-v left in their propellant.
#pragma once

// Recomputes maxAccPerDay (m/s per day) and mainDeltaV (m/s) for the vessel named
// vesselName from the configured totalThrust and mainIsp; leaves them as they
// were when no vessel bears that name.
void updatePerformanceFigures();
