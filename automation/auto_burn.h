// Periapsis auto-burn: the main engines run at full thrust during the third of
// each orbit centred on periapsis and are shut down for the rest of it.
#pragma once

// Fractions of the orbit period left until periapsis that bound the burn. The
// decimal values as written, not 1/6 and 5/6.
constexpr double burnWindowLow = 0.1666667;
constexpr double burnWindowHigh = 0.8333333;

// The main group's level for a given (time to periapsis) / (period): 1 inside
// the window, 0 outside it and for NaN.
double burnLevel(double ratio);

// One step of the burn on the vessel named vesselName, with the orbit taken
// relative to refBody.
void updateAutoBurn();
