// The callbacks of the two input boxes in which the pilot types the main
// engines' total thrust (N) and specific impulse (N*s/kg).
#pragma once

// Reads a typed number the way the boxes do: leading white space skipped, text
// after the number ignored, single precision. False, with value untouched, for
// text that holds no number or a number that is not finite or is negative.
bool parseEngineEntry(const char* text, float& value);

// Input-box callbacks: parse into thrustEntry / ispEntry and apply the value
// widened to double. A refused entry returns false and changes nothing.
bool onThrustEntered(void* box, char* text, void* userData);
bool onIspEntered(void* box, char* text, void* userData);
