// The mission zolksim flies when it is given no scenario: the shipped
// scenarios/ion-tug.scn, compiled in.
#pragma once

namespace zolksim {

extern const char* const kDefaultMissionName;  // as messages name it
extern const char* const kDefaultMissionText;

}  // namespace zolksim
