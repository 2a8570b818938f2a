// A picture of a HUD: the texts drawn on it, in their colours, over a dark background, drawn with
// cairo and written as PNG.
#include "sim/hud_png.h"

#include <cairo.h>

#include "sim/output_file.h"

namespace sim {

namespace {

// The dark grey-blue of a HUD seen against space.
constexpr double kBackground[3] = {0.04, 0.06, 0.09};
// Text height for the HUD's height: a HUD 768 pixels high has lines 16 pixels apart.
constexpr double kFontPerHeight = 14.0 / 768.0;

// One channel of a 0x00BBGGRR colour, 0..1.
double channel(DWORD colour, int byte) {
    return ((colour >> (8 * byte)) & 0xFF) / 255.0;
}

// The text as cairo can show it: characters outside printable ASCII become '?'.
std::string printable(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c < 0x20 || c > 0x7E)
            c = '?';
    return out;
}

}  // namespace

bool write_hud_png(const std::vector<DrawnText>& texts, HudSize size, const std::string& path,
                   std::string& error) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error = "cannot draw a HUD of " + std::to_string(size.width) + "x" +
                std::to_string(size.height) + ": " +
                cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, kBackground[0], kBackground[1], kBackground[2]);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontPerHeight * size.height);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    for (const DrawnText& t : texts) {
        cairo_set_source_rgb(cr, channel(t.colour, 0), channel(t.colour, 1), channel(t.colour, 2));
        // Positions name the text's top-left corner; cairo draws from the baseline.
        cairo_move_to(cr, t.x, t.y + font.ascent);
        cairo_show_text(cr, printable(t.text).c_str());
    }
    cairo_destroy(cr);
    OutputFile out;
    if (!out.open(path, error)) {
        cairo_surface_destroy(surface);
        return false;
    }
    // The PNG's bytes go through the output, which keeps the first failed write.
    cairo_status_t status = cairo_surface_write_to_png_stream(
        surface,
        [](void* file, const unsigned char* data, unsigned int length) {
            auto* o = static_cast<OutputFile*>(file);
            return o->write({reinterpret_cast<const char*>(data), length})
                       ? CAIRO_STATUS_SUCCESS
                       : CAIRO_STATUS_WRITE_ERROR;
        },
        &out);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS && out.error() == 0) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return out.commit(error);
}

}  // namespace sim
