// Opaque handles issued by the simulator. A look-up that finds nothing yields a null handle.
#pragma once

#include <cstdint>

// The integer and handle types of the Windows API, declared as <windows.h> declares them there,
// so that a module may include both; elsewhere of the same sizes, and a library handle opaque.
#ifdef _WIN32
using DWORD = unsigned long;
using UINT = unsigned int;
using WORD = unsigned short;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;  // a loaded module library
struct HDC__;
using HDC = HDC__*;  // a legacy drawing context
#else
using DWORD = std::uint32_t;
using UINT = unsigned int;
using WORD = std::uint16_t;
using HINSTANCE = void*;  // a loaded module library
using HDC = void*;        // a legacy drawing context
#endif

using OBJHANDLE = void*;                  // any simulator object: vessel or celestial body
using THRUSTER_HANDLE = void*;            // one thruster of a vessel
using THGROUP_HANDLE = void*;             // one thruster group of a vessel
using PROPELLANT_HANDLE = void*;          // one propellant resource of a vessel
using ATTACHMENTHANDLE = void*;           // one attachment point of a vessel
using ANIMATIONCOMPONENT_HANDLE = void*;  // one component of an animation, usable as a parent
using PSTREAM_HANDLE = void*;             // one particle stream
using SURFHANDLE = void*;                 // a registered texture; null when none was found
using FILEHANDLE = void*;                 // a scenario or configuration file being read or written
using VISHANDLE = void*;                  // a vessel's visual (none in the headless stand-in)
using PANELHANDLE = void*;                // a 2D instrument panel
