// Every object the simulator issues a handle for: celestial bodies and vessels. The handle a
// module holds (OBJHANDLE) is the address of the object.
#pragma once

#include <string>

#include "host/handles.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Object {
  public:
    enum class Kind { Body, Vessel };

    Object(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    OBJHANDLE handle() { return static_cast<OBJHANDLE>(this); }

  private:
    Kind kind_;
    std::string name_;
};

SIM_API_END
}  // namespace sim
