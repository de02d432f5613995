// The cockpit's page: plain HTML, CSS and JavaScript kept in sim/cockpit/web
// and compiled into the program, so that one executable serves everything.
#pragma once

#include <string_view>
#include <vector>

namespace zolksim::cockpit {

struct WebAsset {
    std::string_view path;  // "/cockpit.js"
    std::string_view body;
};

const std::vector<WebAsset>& webAssets();

// The asset served at path ("/" is index.html); null for none.
const WebAsset* findWebAsset(std::string_view path);
// Its content type, from its file name's ending.
const char* contentTypeOf(std::string_view path);

}  // namespace zolksim::cockpit
