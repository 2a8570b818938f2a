// Records and enumerations that modules fill in or receive from the simulator.
#pragma once

#include "handles.h"
#include "math_types.h"

// Thruster group types. The values are part of the interface.
enum THGROUP_TYPE {
    THGROUP_MAIN = 0,
    THGROUP_RETRO = 1,
    THGROUP_HOVER = 2,
    THGROUP_ATT_PITCHUP = 3,
    THGROUP_ATT_PITCHDOWN = 4,
    THGROUP_ATT_YAWLEFT = 5,
    THGROUP_ATT_YAWRIGHT = 6,
    THGROUP_ATT_BANKLEFT = 7,
    THGROUP_ATT_BANKRIGHT = 8,
    THGROUP_ATT_RIGHT = 9,
    THGROUP_ATT_LEFT = 10,
    THGROUP_ATT_UP = 11,
    THGROUP_ATT_DOWN = 12,
    THGROUP_ATT_FORWARD = 13,
    THGROUP_ATT_BACK = 14,
    THGROUP_USER = 0x40
};

// Frames of reference for vector queries.
enum REFFRAME {
    FRAME_GLOBAL = 0,    // global frame, orientation only (Sun-centred, non-rotating)
    FRAME_LOCAL = 1,     // the vessel's own frame
    FRAME_REFLOCAL = 2,  // the reference body's rotating frame
    FRAME_HORIZON = 3    // local horizon: x east, y up, z north
};

// What GetAltitude measures from.
enum AltitudeMode {
    ALTMODE_MEANRAD = 0,  // height above the body's mean radius
    ALTMODE_GROUND = 1    // height above the ground under the vessel
};

// Mesh visibility modes (bit set).
constexpr WORD MESHVIS_NEVER = 0x00;
constexpr WORD MESHVIS_EXTERNAL = 0x01;
constexpr WORD MESHVIS_COCKPIT = 0x02;
constexpr WORD MESHVIS_ALWAYS = MESHVIS_EXTERNAL | MESHVIS_COCKPIT;

// Camera attachment modes of oapiCameraAttach.
constexpr int CAMERA_MODE_EXTERNAL = 0;
constexpr int CAMERA_MODE_COCKPIT = 1;
constexpr int CAMERA_MODE_KEEP = 2;  // keep whichever mode the camera has

// One ground contact point: a spring-damper with friction.
struct TOUCHDOWNVTX {
    VECTOR3 pos;       // position in the vessel frame, m
    double stiffness;  // suspension stiffness, N/m
    double damping;    // suspension damping, N s/m
    double mu;         // friction coefficient, lateral (or isotropic)
    double mu_lng;     // longitudinal friction coefficient
};

// A particle stream attached to a thruster or a point.
struct PARTICLESTREAMSPEC {
    enum LTYPE { EMISSIVE = 0, DIFFUSE = 1 };
    enum LEVELMAP { LVL_FLAT = 0, LVL_LIN = 1, LVL_SQRT = 2, LVL_PLIN = 3, LVL_PSQRT = 4 };
    enum ATMSMAP { ATM_FLAT = 0, ATM_PLIN = 1, ATM_PLOG = 2 };

    DWORD flags;
    double srcsize;      // particle size at creation, m
    double srcrate;      // particles generated per second
    double v0;           // emission velocity, m/s
    double srcspread;    // emission velocity randomisation
    double lifetime;     // particle lifetime, s
    double growthrate;   // growth of a particle, m/s
    double atmslowdown;  // slow-down rate in atmosphere
    LTYPE ltype;
    LEVELMAP levelmap;
    double lmin, lmax;  // level bounds of the level mapping
    ATMSMAP atmsmap;
    double amin, amax;  // bounds of the atmosphere mapping
    SURFHANDLE tex;     // particle texture; null for the default
};

// A blinking light on a vessel. The simulator keeps a pointer to the record and follows changes
// of its active flag.
struct BEACONLIGHTSPEC {
    DWORD shape;
    VECTOR3* pos;
    VECTOR3* col;
    double size;
    double falloff;
    double period;    // strobe period, s
    double duration;  // strobe duration, s
    double tofs;      // time offset, s
    bool active;
};

// Engine levels of a vessel, as oapiGetEngineStatus reports them.
struct ENGINESTATUS {
    double main;   // level of the main-engine group, 0..1
    double hover;  // level of the hover group, 0..1
    int attmode;   // attitude mode
};

// HUD modes, as passed to the HUD callbacks.
constexpr int HUD_NONE = 0;
constexpr int HUD_ORBIT = 1;
constexpr int HUD_SURFACE = 2;
constexpr int HUD_DOCKING = 3;

// The HUD being painted, pixels.
struct HUDPAINTSPEC {
    int W, H;        // width and height
    int CX, CY;      // the HUD's centre
    double Scale;    // pixels per degree of view
    int Markersize;  // size of the HUD's markers
};

// Flight status of a vessel in the extended layout, version 2. The first field names the layout
// version; position and velocity relative to the reference body come first among the vectors.
struct VESSELSTATUS2 {
    DWORD version;  // 2
    DWORD flag;
    OBJHANDLE rbody;  // reference body
    OBJHANDLE base;   // landed at a base (unused here)
    int port;
    int status;    // 0 free flight, 1 landed
    VECTOR3 rpos;  // position relative to rbody, global orientation, m
    VECTOR3 rvel;  // velocity relative to rbody, global orientation, m/s
    VECTOR3 vrot;  // angular velocity, vessel frame, rad/s
    VECTOR3 arot;  // attitude: Euler angles of the vessel frame in the global frame, rad
    double surf_lng, surf_lat, surf_hdg;  // landed position and heading, rad
    DWORD nfuel;
    struct FUELSPEC {
        DWORD idx;
        double level;
    } * fuel;
    DWORD nthruster;
    struct THRUSTSPEC {
        DWORD idx;
        double level;
    } * thruster;
    DWORD ndockinfo;
    void* dockinfo;
    DWORD xpdr;
};
