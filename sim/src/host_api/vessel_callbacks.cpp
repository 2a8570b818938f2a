// Base behaviour of the callback table: what a vessel does for every callback its module does
// not override.
#include "host/vessel.h"
#include "vessel_access.h"

void VESSEL2::clbkFocusChanged(bool, OBJHANDLE, OBJHANDLE) {}
void VESSEL2::clbkBeforeStep(double, double, double) {}
void VESSEL2::clbkPostStep(double, double, double) {}
bool VESSEL2::clbkPlaybackEvent(double, double, const char*, const char*) {
    return false;
}
void VESSEL2::clbkVisualCreated(VISHANDLE, int) {}
void VESSEL2::clbkVisualDestroyed(VISHANDLE, int) {}
void VESSEL2::clbkDrawHUD(int, const HUDPAINTSPEC*, HDC) {}
void VESSEL2::clbkRCSMode(int) {}
void VESSEL2::clbkADCtrlMode(DWORD) {}
void VESSEL2::clbkHUDMode(int) {}
void VESSEL2::clbkMFDMode(int, int) {}
void VESSEL2::clbkNavMode(int, bool) {}
void VESSEL2::clbkDockEvent(int, OBJHANDLE) {}
void VESSEL2::clbkAnimate(double) {}
int VESSEL2::clbkConsumeDirectKey(char*) {
    return 0;
}
int VESSEL2::clbkKeyEvent(DWORD, bool, char*) {
    return 0;
}
bool VESSEL2::clbkLoadGenericCockpit() {
    return true;
}
bool VESSEL2::clbkLoadPanel(int) {
    return false;
}
bool VESSEL2::clbkPanelMouseEvent(int, int, int, int) {
    return false;
}
bool VESSEL2::clbkPanelRedrawEvent(int, int, SURFHANDLE) {
    return false;
}
bool VESSEL2::clbkLoadVC(int) {
    return false;
}
bool VESSEL2::clbkVCMouseEvent(int, int, VECTOR3&) {
    return false;
}
bool VESSEL2::clbkVCRedrawEvent(int, int, SURFHANDLE) {
    return false;
}
void VESSEL2::clbkClassSetup(FILEHANDLE) {}
void VESSEL2::clbkAfterCreation() {}

bool VESSEL3::clbkPanelMouseEvent(int, int, int, int, void*) {
    return false;
}
bool VESSEL3::clbkPanelRedrawEvent(int, int, SURFHANDLE, void*) {
    return false;
}
int VESSEL3::clbkGeneric(int, int, void*) {
    return 0;
}
bool VESSEL3::clbkLoadPanel2D(int, PANELHANDLE, DWORD, DWORD) {
    return false;
}
// The headless stand-in draws no standard HUD elements of its own; the call is traced, so that
// tests see where a module's own HUD calls its base.
bool VESSEL3::clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) {
    sim::stand_in_of(this).trace.record("VESSEL3::clbkDrawHUD", mode, static_cast<const void*>(hps),
                                        static_cast<const void*>(skp));
    return true;
}
void VESSEL3::clbkRenderHUD(int, const HUDPAINTSPEC*, SURFHANDLE) {}
void VESSEL3::clbkGetRadiationForce(const VECTOR3&, VECTOR3& F, VECTOR3& pos) {
    F = {0, 0, 0};
    pos = {0, 0, 0};
}
