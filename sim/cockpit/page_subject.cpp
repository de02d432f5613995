#include "sim/cockpit/page_subject.h"

#include "sim/pictures/page_view.h"

namespace zolksim::cockpit {

PageSubject pageSubject(simhost::World& world) {
    PageSubject subject;
    for (const auto& display : world.cockpit().displays()) {
        if (!display->object()) continue;
        const PageView page = capturePage(*display);
        subject.vesselName = valueBelow(page, "Vessel");
        subject.bodyName = valueBelow(page, "Reference Body");
        break;
    }
    if (!subject.vesselName.empty()) subject.vessel = world.findVessel(subject.vesselName);
    if (!subject.bodyName.empty()) subject.body = world.findBody(subject.bodyName);
    return subject;
}

}  // namespace zolksim::cockpit
