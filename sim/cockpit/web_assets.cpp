#include "sim/cockpit/web_assets.h"

namespace zolksim::cockpit {

const WebAsset* findWebAsset(std::string_view path) {
    if (path == "/") path = "/index.html";
    for (const WebAsset& asset : webAssets())
        if (asset.path == path) return &asset;
    return nullptr;
}

const char* contentTypeOf(std::string_view path) {
    const auto endsWith = [&](std::string_view end) {
        return path.size() >= end.size() && path.substr(path.size() - end.size()) == end;
    };
    if (endsWith(".html")) return "text/html; charset=utf-8";
    if (endsWith(".css")) return "text/css; charset=utf-8";
    if (endsWith(".js")) return "text/javascript; charset=utf-8";
    return "application/octet-stream";
}

}  // namespace zolksim::cockpit
