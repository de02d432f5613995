// Checks a JSON document against a JSON Schema, for the keywords the
// project's schemas use: type (one or a list), enum, required, properties,
// additionalProperties false, minimum and exclusiveMinimum. Any other keyword
// is a problem too, so that a schema cannot quietly ask for more than is checked.
#pragma once

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace schema_check {

inline bool hasType(const nlohmann::json& value, const std::string& type) {
    if (type == "object") return value.is_object();
    if (type == "string") return value.is_string();
    if (type == "boolean") return value.is_boolean();
    if (type == "null") return value.is_null();
    if (type == "integer") return value.is_number_integer();
    if (type == "number") return value.is_number();
    return false;
}

// What does not fit, one line each, with the path to it.
inline void check(const nlohmann::json& value, const nlohmann::json& schema, const std::string& path,
                  std::vector<std::string>& problems) {
    static const std::set<std::string> known = {"$schema", "$id", "title", "description", "type", "enum", "required",
                                                "properties", "additionalProperties", "minimum", "exclusiveMinimum"};
    for (const auto& [keyword, _] : schema.items())
        if (!known.count(keyword)) problems.push_back(path + ": the schema's '" + keyword + "' is not checked");
    if (schema.contains("type")) {
        const nlohmann::json& type = schema["type"];
        bool fits = false;
        for (const auto& t : type.is_array() ? type : nlohmann::json::array({type})) fits = fits || hasType(value, t);
        if (!fits) problems.push_back(path + ": " + value.dump() + " is not of type " + type.dump());
    }
    if (schema.contains("enum")) {
        bool found = false;
        for (const auto& allowed : schema["enum"]) found = found || allowed == value;
        if (!found) problems.push_back(path + ": " + value.dump() + " is not one of " + schema["enum"].dump());
    }
    if (value.is_number()) {
        if (schema.contains("minimum") && value.get<double>() < schema["minimum"].get<double>())
            problems.push_back(path + ": below the minimum");
        if (schema.contains("exclusiveMinimum") && value.get<double>() <= schema["exclusiveMinimum"].get<double>())
            problems.push_back(path + ": not above the minimum");
    }
    if (!value.is_object()) return;
    for (const auto& key : schema.value("required", nlohmann::json::array()))
        if (!value.contains(key.get<std::string>())) problems.push_back(path + ": '" + key.get<std::string>() + "' missing");
    const nlohmann::json properties = schema.value("properties", nlohmann::json::object());
    for (const auto& [key, member] : value.items()) {
        if (properties.contains(key)) check(member, properties[key], path + "." + key, problems);
        else if (schema.value("additionalProperties", true) == false) problems.push_back(path + ": '" + key + "' not in the schema");
    }
}

}  // namespace schema_check
