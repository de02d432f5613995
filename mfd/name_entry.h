// The input-box callbacks for the two names: the reference body and the vessel.
// An unknown name, or one longer than a name field holds, is refused (false).
#pragma once

// A celestial body's name into refName. The lookup's result goes to refBody
// even when it finds nothing; the next time step looks the body up again.
bool onRefBodyEntered(void* box, char* text, void* userData);
// A vessel's name into vesselName, then its main engines are read afresh.
bool onVesselEntered(void* box, char* text, void* userData);

// What onVesselEntered does; it needs no display object.
bool selectVessel(char* name);
