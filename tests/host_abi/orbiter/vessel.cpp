// The vessel interface: each of this host's VESSEL objects stands for one of
// the world's and hands every call to it.
#include <new>

#include "tests/host_abi/orbiter/orbiter_host.h"

namespace {

constexpr int kMaxVessels = 64;
alignas(VESSEL) unsigned char vesselStore[kMaxVessels][sizeof(VESSEL)];
int vesselCount = 0;

VESSEL* stored(int i) { return std::launder(reinterpret_cast<VESSEL*>(vesselStore[i])); }

double* d(VECTOR3& v) { return v.data; }
const double* d(const VECTOR3& v) { return v.data; }

}  // namespace

// The member vessel, the simulator's own vessel class, is here the world's vessel interface.
VESSEL::VESSEL(OBJHANDLE object, int model)
    : vessel(static_cast<Vessel*>(world->vesselInterface(object))), flightmodel(static_cast<short>(model)), version(0) {}

VESSEL* vesselFor(void* worldVessel) {
    if (!worldVessel) return nullptr;
    OBJHANDLE handle = world->vesselHandle(worldVessel);
    for (int i = 0; i < vesselCount; ++i)
        if (stored(i)->GetHandle() == handle) return stored(i);
    if (vesselCount == kMaxVessels) return nullptr;
    return new (vesselStore[vesselCount++]) VESSEL(handle, 1);
}

#define W static_cast<void*>(vessel)

// Declared so by the simulator: the const of the returned handle is its own.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wignored-qualifiers"
const OBJHANDLE VESSEL::GetHandle() const { return world->vesselHandle(W); }
#pragma clang diagnostic pop
bool VESSEL::DeactivateNavmode(int mode) { return world->deactivateNavmode(W, mode) != 0; }
bool VESSEL::GetElements(OBJHANDLE body, ELEMENTS& el, ORBITPARAM* prm, double mjd, int frame) const {
    return world->getElements(W, body, reinterpret_cast<double*>(&el), reinterpret_cast<double*>(prm), mjd, frame) != 0;
}
void VESSEL::GetGlobalPos(VECTOR3& pos) const { world->getGlobalPos(W, d(pos)); }
void VESSEL::GetRelativePos(OBJHANDLE body, VECTOR3& pos) const { world->getRelativePos(W, body, d(pos)); }
void VESSEL::GetRelativeVel(OBJHANDLE body, VECTOR3& vel) const { world->getRelativeVel(W, body, d(vel)); }
void VESSEL::Global2Local(const VECTOR3& global, VECTOR3& local) const { world->global2Local(W, d(global), d(local)); }
void VESSEL::Local2Global(const VECTOR3& local, VECTOR3& global) const { world->local2Global(W, d(local), d(global)); }
void VESSEL::GlobalRot(const VECTOR3& local, VECTOR3& global) const { world->globalRot(W, d(local), d(global)); }
void VESSEL::SetAngularVel(const VECTOR3& rate) const { world->setAngularVel(W, d(rate)); }
void VESSEL::SetGlobalOrientation(const VECTOR3& angles) const { world->setGlobalOrientation(W, d(angles)); }
double VESSEL::GetMass() const { return world->getMass(W); }
double VESSEL::GetPropellantMass(PROPELLANT_HANDLE tank) const { return world->getPropellantMass(W, tank); }
DWORD VESSEL::GetGroupThrusterCount(THGROUP_TYPE group) const { return world->groupThrusterCount(W, group); }
THRUSTER_HANDLE VESSEL::GetGroupThruster(THGROUP_TYPE group, DWORD index) const {
    return world->groupThruster(W, group, index);
}
void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE group, double level) const {
    world->setThrusterGroupLevel(W, group, level);
}
double VESSEL::GetThrusterIsp(THRUSTER_HANDLE thruster) const { return world->thrusterIsp(W, thruster); }
double VESSEL::GetThrusterMax0(THRUSTER_HANDLE thruster) const { return world->thrusterMax0(W, thruster); }
PROPELLANT_HANDLE VESSEL::GetThrusterResource(THRUSTER_HANDLE thruster) const {
    return world->thrusterResource(W, thruster);
}
void VESSEL::SetThrusterIsp(THRUSTER_HANDLE thruster, double isp) const { world->setThrusterIsp(W, thruster, isp); }
void VESSEL::SetThrusterMax0(THRUSTER_HANDLE thruster, double max0) const {
    world->setThrusterMax0(W, thruster, max0);
}
