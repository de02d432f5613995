// The vessel the module acts on: the one named by the record's vesselName,
// looked up afresh on every use and never kept between calls.
#pragma once

#include "frame/host_compat.h"

// The interface of the vessel named vesselName, or null when the host knows no
// vessel of that name. Callers then leave the vessel and the record alone.
VESSEL* controlledVessel();
