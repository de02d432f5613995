// Scenario files come from users: any bytes must give either an error naming
// the file (and a line, unless it concerns the whole file) with the world left
// exactly as it was, or a world whose saved text loads back and, after at most
// one round, saves to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/scenario/scenario_file.h"
#include "mfd/mode_registration.h"

namespace {

// The world each input is loaded over: two vessels, the page open on two displays.
constexpr std::string_view kStartScene = R"(BEGIN_ENVIRONMENT
  DATE MJD 60650
END_ENVIRONMENT
BEGIN_FOCUS
  SHIP Ion Tug
END_FOCUS
BEGIN_MFD Left
  MODE ZOLKMFD
  ATT 1
  ABP 1
  RBD Earth
  VES Ion_Tug
END_MFD
BEGIN_MFD Right
  MODE ZOLKMFD
  RBD Moon
  VES Probe
END_MFD
BEGIN_SHIPS
Ion Tug
  EMPTY_MASS 1000
  REF Earth
  RPOS 6771000 0 0
  RVEL 0 8068.2 0
  TANK 400 400
  THRUSTER 0 0.3 -1.5 0 0 1 1.5 30000 0 0
  THRUSTER 0 -0.3 -1.5 0 0 1 1.5 30000 0 0
  GROUP MAIN 0 1
END
Probe
  EMPTY_MASS 50
  REF Moon
  RPOS 1900000 0 0
  RVEL 0 1600 0
END
END_SHIPS
)";

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "scenario_file_fuzz: %s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The start scene's text, saved once: every later load of it gives the same.
    static const std::string before = [] {
        InitModule(nullptr);
        for (int i = 0; i < 2; ++i)
            if (!simhost::loadScenarioText(kStartScene, "start").ok) broken("the start scene does not load", "");
        return simhost::saveScenarioText();
    }();
    // A refused input left the start scene as it was (that is checked below),
    // so only an accepted one makes the next input load the start scene again.
    static bool replaced = true;
    if (replaced) simhost::loadScenarioText(kStartScene, "start");
    replaced = false;

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const simhost::ScenarioLoad load = simhost::loadScenarioText(text, "fuzz");
    if (!load.ok) {
        const std::string message = simhost::messageText(load.error);
        if (load.error.file != "fuzz" || load.error.text.empty() || load.error.line < 0) broken("unclear error", message);
        if (simhost::saveScenarioText() != before) broken("a refused scenario changed the world", message);
        return 0;
    }
    replaced = true;
    for (const simhost::ScenarioMessage& warning : load.warnings)
        if (warning.file != "fuzz" || warning.text.empty()) broken("unclear warning", simhost::messageText(warning));

    const std::string saved = simhost::saveScenarioText(load.description);
    const simhost::ScenarioLoad again = simhost::loadScenarioText(saved, "saved");
    if (!again.ok) broken("the saved text does not load", simhost::messageText(again.error) + "\n" + saved);
    // The page applies the thrust and ISP of its block to the vessel when they
    // differ from what the vessel has, so a first reload may bring the engines
    // into line with the page; from then on the text must stay the same.
    std::string resaved = simhost::saveScenarioText(again.description);
    if (resaved != saved) {
        const simhost::ScenarioLoad third = simhost::loadScenarioText(resaved, "resaved");
        if (!third.ok) broken("the resaved text does not load", simhost::messageText(third.error) + "\n" + resaved);
        const std::string settled = simhost::saveScenarioText(third.description);
        if (settled != resaved) broken("the saved text does not settle", resaved + "\n----\n" + settled);
    }
    return 0;
}
