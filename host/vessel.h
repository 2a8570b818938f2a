// The vessel classes of the simulator interface.
//
// VESSEL is the simulator's view of one vessel: its operations act on the vessel it was created
// for and are implemented by the simulator. VESSEL2 and VESSEL3 add the callback table through
// which the simulator drives a module's vessel class; every callback has a base behaviour, and a
// module overrides only those it needs.
#pragma once

#include "animation.h"
#include "handles.h"
#include "host_api.h"
#include "lights.h"
#include "math_types.h"
#include "records.h"

namespace oapi {
class Sketchpad;
}

class HOST_API VESSEL {
  public:
    // hVessel: the handle the simulator issued for this vessel; fmodel: flight-model level.
    VESSEL(OBJHANDLE hVessel, int fmodel = 1);
    VESSEL(const VESSEL&) = delete;
    VESSEL& operator=(const VESSEL&) = delete;

    // Identity.
    OBJHANDLE GetHandle() const;
    const char* GetName() const;
    const char* GetClassName() const;
    int Version() const { return version; }  // 0 VESSEL, 1 VESSEL2, 2 VESSEL3

    // Animations.
    UINT CreateAnimation(double initial_state) const;
    ANIMATIONCOMPONENT_HANDLE AddAnimationComponent(
        UINT anim, double state0, double state1, MGROUP_TRANSFORM* trans,
        ANIMATIONCOMPONENT_HANDLE parent = nullptr) const;
    bool SetAnimation(UINT anim, double state) const;

    // Configuration: shape, mass, meshes, camera.
    void SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) const;
    void SetRotDrag(const VECTOR3& rd) const;
    void SetPMI(const VECTOR3& pmi) const;
    void SetCrossSections(const VECTOR3& cs) const;
    void SetSize(double size) const;
    void SetEmptyMass(double mass) const;
    double GetEmptyMass() const;
    UINT AddMesh(const char* meshname, const VECTOR3* ofs = nullptr) const;
    void SetMeshVisibilityMode(UINT idx, WORD mode) const;
    void SetCameraOffset(const VECTOR3& co) const;
    void SetCameraDefaultDirection(const VECTOR3& cd, double tilt) const;
    void SetTouchdownPoints(const TOUCHDOWNVTX* tdvtx, DWORD ntdvtx) const;
    // Three points that set the ground plane, with springs the simulator chooses.
    void SetTouchdownPoints(const VECTOR3& pt1, const VECTOR3& pt2, const VECTOR3& pt3) const;

    // Propellant, thrusters and their effects.
    PROPELLANT_HANDLE CreatePropellantResource(double maxmass, double mass = -1.0,
                                               double efficiency = 1.0) const;
    double GetPropellantMass(PROPELLANT_HANDLE ph) const;
    void SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const;
    double GetPropellantMaxMass(PROPELLANT_HANDLE ph) const;
    THRUSTER_HANDLE CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0,
                                   PROPELLANT_HANDLE hp = nullptr, double isp0 = 0.0,
                                   double isp_ref = 0.0, double p_ref = 101400.0) const;
    THGROUP_HANDLE CreateThrusterGroup(THRUSTER_HANDLE* th, int nth, THGROUP_TYPE thgt) const;
    void SetThrusterLevel(THRUSTER_HANDLE th, double level) const;
    double GetThrusterLevel(THRUSTER_HANDLE th) const;
    void SetThrusterGroupLevel(THGROUP_TYPE thgt, double level) const;
    double GetThrusterGroupLevel(THGROUP_TYPE thgt) const;
    UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale,
                    SURFHANDLE tex = nullptr) const;
    // A flare of its own position and direction, lit by the thruster's level.
    UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3& pos,
                    const VECTOR3& dir, SURFHANDLE tex = nullptr) const;
    PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, PARTICLESTREAMSPEC* pss = nullptr) const;
    PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3& pos,
                                    PARTICLESTREAMSPEC* pss = nullptr) const;

    // Lights. The simulator keeps the beacon record's address and follows changes of its
    // active flag; spot lights are the simulator's, switched through the pointer returned.
    void AddBeacon(BEACONLIGHTSPEC* bs);
    LightEmitter* AddSpotLight(const VECTOR3& pos, const VECTOR3& dir, double range, double att0,
                               double att1, double att2, double umbra, double penumbra,
                               COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient) const;

    // Attachments.
    ATTACHMENTHANDLE CreateAttachment(bool toparent, const VECTOR3& pos, const VECTOR3& dir,
                                      const VECTOR3& rot, const char* id, bool loose = false) const;
    ATTACHMENTHANDLE GetAttachmentHandle(bool toparent, DWORD i) const;
    OBJHANDLE GetAttachmentStatus(ATTACHMENTHANDLE attachment) const;
    bool AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment,
                     ATTACHMENTHANDLE child_attachment) const;
    bool DetachChild(ATTACHMENTHANDLE attachment, double vel = 0.0) const;

    // Flight state.
    double GetMass() const;
    double GetAltitude(AltitudeMode mode = ALTMODE_MEANRAD, int* reslt = nullptr) const;
    bool GetGroundspeedVector(REFFRAME frame, VECTOR3& v) const;
    OBJHANDLE GetEquPos(double& longitude, double& latitude, double& radius) const;
    void GetAngularVel(VECTOR3& avel) const;
    bool GetWeightVector(VECTOR3& G) const;
    bool GroundContact() const;
    void GetGlobalPos(VECTOR3& pos) const;
    void GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const;
    void GetStatusEx(void* status) const;
    void DefSetStateEx(const void* status) const;
    OBJHANDLE GetSurfaceRef() const;

    // Frame conversions.
    void HorizonRot(const VECTOR3& loc, VECTOR3& hor) const;
    void HorizonInvRot(const VECTOR3& hor, VECTOR3& loc) const;
    void GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const;
    void Local2Global(const VECTOR3& local, VECTOR3& global) const;
    void Global2Local(const VECTOR3& global, VECTOR3& local) const;

    // Keys and scenario lines.
    int SendBufferedKey(DWORD key, bool down = true, char* kstate = nullptr);
    void ParseScenarioLineEx(char* line, void* status) const;

  protected:
    // Not virtual, so that the callback table starts with clbkClassSetup in slot 0, as the
    // simulator expects; protected, so that deleting a module's vessel through a VESSEL pointer
    // does not compile. A module destroys its vessel through its own class (ovcExit).
    ~VESSEL();

    int version;  // which callback table the object has

  private:
    OBJHANDLE hVessel;
    int flightmodel;
};

class HOST_API VESSEL2 : public VESSEL {
  public:
    VESSEL2(OBJHANDLE hVessel, int fmodel = 1);

    // The callback table, in slot order.
    virtual void clbkClassSetup(FILEHANDLE cfg);               // once, right after creation
    virtual void clbkSaveState(FILEHANDLE scn);                // writes the standard lines
    virtual void clbkReadState(FILEHANDLE scn, void* status);  // passes each line to the simulator
    virtual void clbkSetStateEx(const void* status);           // applies the status read
    virtual void clbkAfterCreation();                          // once all vessels exist
    virtual void clbkFocusChanged(bool getfocus, OBJHANDLE hNewVessel, OBJHANDLE hOldVessel);
    virtual void clbkBeforeStep(double simt, double simdt, double mjd);  // each frame, first
    virtual void clbkPostStep(double simt, double simdt, double mjd);    // each frame, last
    virtual bool clbkPlaybackEvent(double simt, double event_t, const char* event_type,
                                   const char* event);
    virtual void clbkVisualCreated(VISHANDLE vis, int refcount);
    virtual void clbkVisualDestroyed(VISHANDLE vis, int refcount);
    virtual void clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, HDC hDC);
    virtual void clbkRCSMode(int mode);
    virtual void clbkADCtrlMode(DWORD mode);
    virtual void clbkHUDMode(int mode);
    virtual void clbkMFDMode(int mfd, int mode);
    virtual void clbkNavMode(int mode, bool active);
    virtual void clbkDockEvent(int dock, OBJHANDLE mate);
    virtual void clbkAnimate(double simt);
    virtual int clbkConsumeDirectKey(char* kstate);
    // A buffered key event while the vessel has the input focus; 1 when consumed.
    virtual int clbkKeyEvent(DWORD key, bool down, char* kstate);
    virtual bool clbkLoadGenericCockpit();
    virtual bool clbkLoadPanel(int id);
    virtual bool clbkPanelMouseEvent(int id, int event, int mx, int my);
    virtual bool clbkPanelRedrawEvent(int id, int event, SURFHANDLE surf);
    virtual bool clbkLoadVC(int id);
    virtual bool clbkVCMouseEvent(int id, int event, VECTOR3& p);
    virtual bool clbkVCRedrawEvent(int id, int event, SURFHANDLE surf);

  protected:
    ~VESSEL2() = default;  // as VESSEL's: the table starts with the callbacks
};

class HOST_API VESSEL3 : public VESSEL2 {
  public:
    VESSEL3(OBJHANDLE hVessel, int fmodel = 1);

    using VESSEL2::clbkDrawHUD;
    using VESSEL2::clbkPanelMouseEvent;
    using VESSEL2::clbkPanelRedrawEvent;

    // Appended to the callback table, in slot order.
    virtual bool clbkPanelMouseEvent(int id, int event, int mx, int my, void* context);
    virtual bool clbkPanelRedrawEvent(int id, int event, SURFHANDLE surf, void* context);
    virtual int clbkGeneric(int msgid = 0, int prm = 0, void* context = nullptr);
    virtual bool clbkLoadPanel2D(int id, PANELHANDLE hPanel, DWORD viewW, DWORD viewH);
    // Draws on the HUD through a sketchpad; true when drawn.
    virtual bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp);
    virtual void clbkRenderHUD(int mode, const HUDPAINTSPEC* hps, SURFHANDLE hDefaultTex);
    virtual void clbkGetRadiationForce(const VECTOR3& mflux, VECTOR3& F, VECTOR3& pos);

  protected:
    ~VESSEL3() = default;
};
