// A 2x16 LCDd driver that draws nothing: it writes every call it gets, one a line, to the file
// named by Record= in its section, so that real LCDd sessions can be replayed by the encoder
// benchmark. It answers icon() and get_brightness() as the driver's frame does.
#include "lcdd.h"
#include "lcdd/frame.h"

#include <cstdio>
#include <string>

namespace {

torvika::lcdd::Frame frame;
std::FILE *out = nullptr;

void hexText(const unsigned char *bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        std::fprintf(out, "%02x", bytes[i]);
    std::fputc('\n', out);
}

} // namespace

extern "C" {

char *api_version = const_cast<char *>("0.5");
int stay_in_foreground = 0;
int supports_multiple = 0;
char *symbol_prefix = const_cast<char *>("recorder_");

int recorder_init(Driver *drv) {
    const std::string file = drv->config_get_string(drv->name, "Record", 0, "lcdd-calls.txt");
    out = std::fopen(file.c_str(), "w");
    return out ? 0 : -1;
}
void recorder_close(Driver *) {
    if (out)
        std::fclose(out);
    out = nullptr;
}
int recorder_width(Driver *) {
    return torvika::lcdd::Width;
}
int recorder_height(Driver *) {
    return torvika::lcdd::Height;
}
int recorder_cellwidth(Driver *) {
    return torvika::lcdd::CellWidth;
}
int recorder_cellheight(Driver *) {
    return torvika::lcdd::CellHeight;
}
int recorder_get_free_chars(Driver *) {
    return 8;
}
void recorder_clear(Driver *) {
    std::fputs("clear\n", out);
}
void recorder_flush(Driver *) {
    std::fputs("flush\n", out);
}
void recorder_string(Driver *, int x, int y, const char *text) {
    std::fprintf(out, "string %d %d ", x, y);
    hexText(reinterpret_cast<const unsigned char *>(text), std::char_traits<char>::length(text));
}
void recorder_chr(Driver *, int x, int y, char c) {
    std::fprintf(out, "chr %d %d %d\n", x, y, static_cast<unsigned char>(c));
}
void recorder_hbar(Driver *, int x, int y, int len, int promille, int options) {
    std::fprintf(out, "hbar %d %d %d %d %d\n", x, y, len, promille, options);
}
void recorder_vbar(Driver *, int x, int y, int len, int promille, int options) {
    std::fprintf(out, "vbar %d %d %d %d %d\n", x, y, len, promille, options);
}
void recorder_num(Driver *, int x, int num) {
    std::fprintf(out, "num %d %d\n", x, num);
}
void recorder_heartbeat(Driver *, int state) {
    std::fprintf(out, "heartbeat %d\n", state);
}
int recorder_icon(Driver *, int x, int y, int icon) {
    std::fprintf(out, "icon %d %d %d\n", x, y, icon);
    return frame.icon(x, y, icon) ? 0 : -1;
}
void recorder_cursor(Driver *, int x, int y, int type) {
    std::fprintf(out, "cursor %d %d %d\n", x, y, type);
}
void recorder_set_char(Driver *, int n, unsigned char *rows) {
    std::fprintf(out, "set_char %d ", n);
    hexText(rows, torvika::lcdd::CellHeight);
}
void recorder_backlight(Driver *, int on) {
    std::fprintf(out, "backlight %d\n", on);
}
int recorder_get_brightness(Driver *, int state) {
    return frame.brightness(state);
}
void recorder_set_brightness(Driver *, int state, int promille) {
    std::fprintf(out, "set_brightness %d %d\n", state, promille);
    frame.setBrightness(state, promille);
}
void recorder_output(Driver *, int state) {
    std::fprintf(out, "output %d\n", state);
}
const char *recorder_get_key(Driver *) {
    return nullptr;
}
const char *recorder_get_info(Driver *) {
    return "call recorder";
}

} // extern "C"
