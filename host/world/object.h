// Simulation objects that a host handle (OBJHANDLE) can point at.
#pragma once

#include <string>

namespace simhost {

enum class ObjectKind { Body, Vessel };

// Common base of celestial bodies and vessels. An OBJHANDLE is an Object*.
struct Object {
    Object(ObjectKind kind, std::string name) : kind(kind), name(std::move(name)) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ObjectKind kind;
    std::string name;
};

}  // namespace simhost
