// Free functions of the simulator interface.
#pragma once

#include "handles.h"
#include "host_api.h"
#include "math_types.h"
#include "records.h"

class VESSEL;

// Module services.
HOST_API void InitLib(HINSTANCE hModule);  // a module library announces itself on attach
HOST_API int Date2Int(const char* date);   // "Mmm dd yyyy" -> yyyymmdd, 0 when malformed
HOST_API void oapiWriteLog(const char* line);

// Objects and vessels.
HOST_API OBJHANDLE oapiGetGbodyByName(const char* name);
HOST_API OBJHANDLE oapiGetObjectByName(const char* name);
// Copies the object's name into name, at most n characters including the terminating zero.
HOST_API void oapiGetObjectName(OBJHANDLE hObj, char* name, int n);
HOST_API VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel);
HOST_API DWORD oapiGetVesselCount();
HOST_API OBJHANDLE oapiGetVesselByIndex(int index);
HOST_API void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3* pos);
HOST_API void oapiGetEngineStatus(OBJHANDLE hVessel, ENGINESTATUS* es);
HOST_API OBJHANDLE oapiGetFocusObject();
HOST_API OBJHANDLE oapiSetFocusObject(OBJHANDLE hVessel);  // returns the previous focus
HOST_API double oapiGetTimeAcceleration();
HOST_API double oapiGetSimTime();

// Environment. Wind at a point of the body, in the local horizon frame (frame 0); its speed in
// m/s goes to windspeed when given.
HOST_API VECTOR3 oapiGetWindVector(OBJHANDLE hPlanet, double lng, double lat, double alt,
                                   int frame = 0, double* windspeed = nullptr);

// Camera.
HOST_API bool oapiCameraAttach(OBJHANDLE hObj, int mode);

// Textures; null when the name is not found.
HOST_API SURFHANDLE oapiRegisterExhaustTexture(const char* name);
HOST_API SURFHANDLE oapiRegisterParticleTexture(const char* name);

// Scenario lines. nextline yields the next line of the vessel's block, false at its end.
HOST_API bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line);
HOST_API void oapiWriteScenario_string(FILEHANDLE scn, const char* item, const char* string);
