#include "sim/output_file.h"
#include "sim/replay.h"
#include "sim/text_file.h"

namespace sim {

namespace {

// The bundled viewer is about half a megabyte; a file far larger is not it.
constexpr std::size_t kMaxViewerBytes = std::size_t{64} << 20;

}  // namespace

bool write_replay_page(const std::string& path, const std::string& recording_json,
                       const std::string& viewer_script_path, std::string& error) {
    std::string code, unread;
    if (!read_text_file(viewer_script_path, kMaxViewerBytes, code, unread) || code.empty()) {
        error = "the replay viewer " + viewer_script_path +
                " cannot be read: build it (the viewer target) first";
        return false;
    }
    // The script must not close its element early; the recording's strings never hold "<".
    for (std::size_t at = 0; (at = code.find("</script", at)) != std::string::npos; at += 8)
        code.replace(at, 2, "<\\/");
    std::string page;
    page.reserve(recording_json.size() + code.size() + 1024);
    page +=
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>vesselsim replay</title>\n</head>\n<body>\n"
        "<script id=\"recording\" type=\"application/json\">";
    page += recording_json;
    page += "</script>\n<script>";
    page += code;
    page += "</script>\n</body>\n</html>\n";
    return write_file_whole(path, page, error);
}

}  // namespace sim
