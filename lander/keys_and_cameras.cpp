// The lander's keyboard commands (mechanisms, landing autopilot, camera) and its two camera views.
#include <cmath>
#include <numbers>

#include "host/keys.h"
#include "host/oapi.h"
#include "quor_tevlan.h"

namespace {

// A press reverses a motion from where it is, and starts a mechanism at rest towards its other
// end.
int toggled(int status) {
    switch (status) {
        case at_rest_closed:
        case closing:
            return opening;
        case opening:
        case at_rest_open:
            return closing;
        default:
            return opening;
    }
}

// Stands in for a missing keyboard state: every key up.
constexpr char no_keys_held[OAPI_KEY_STATE_SIZE] = {};

}  // namespace

int quor_tevlan::clbkKeyEvent(DWORD key, bool down, char* kstate) {
    const char* held = kstate ? kstate : no_keys_held;
    if (!down)
        return 0;
    if (KEYMOD_ALT(held))
        return 1;  // swallowed
    if (KEYMOD_CONTROL(held)) {
        int* status = nullptr;
        switch (key) {
            case OAPI_KEY_U:
                status = &arm_status;
                break;
            case OAPI_KEY_G:
                status = &leg_status;
                break;
            case OAPI_KEY_J:
                status = &ant_status;
                break;
            case OAPI_KEY_K:
                status = &met_status;
                break;
            default:
                return 0;
        }
        *status = toggled(*status);
        return 1;
    }
    if (KEYMOD_SHIFT(held))
        return 0;
    switch (key) {
        case OAPI_KEY_P:
            // Switching on always re-arms, whatever phase was left.
            autopilot_phase = autopilot_phase < 0 ? autopilot_armed : autopilot_off;
            return 1;
        case OAPI_KEY_C:
            camera_view = camera_view == 0 ? 1 : 0;
            select_camera_view();
            return 1;
        default:
            return 0;
    }
}

void quor_tevlan::select_camera_view() {
    if (camera_view == 1) {
        // Beside the hull, looking down and back at the sampling-arm side.
        const double norm = std::sqrt(1.0482);  // length of (0.2, 0.71, -0.71)
        SetCameraOffset(_V(1.9, 0.2, 0.2));
        SetCameraDefaultDirection(_V(0.2 / norm, 0.71 / norm, -0.71 / norm), 17.2 * rad_per_deg);
    } else {
        // The class set-up's view.
        SetCameraOffset(_V(0, 0.8, 1.0));
        SetCameraDefaultDirection(_V(0, 1, 0), std::numbers::pi);
    }
    oapiCameraAttach(GetHandle(), CAMERA_MODE_KEEP);
}
