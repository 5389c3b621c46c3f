#pragma once

// LCDd 0.5.9's view of a display driver: the struct it fills by offset and hands to every call,
// and the report function its executable exports. Declared here from the server's documented
// interface; the field order is the ABI.

#include <cstddef>

extern "C" {

typedef struct lcd_logical_driver Driver;

struct lcd_logical_driver {
    char **api_version;
    int *stay_in_foreground;
    int *supports_multiple;
    char **symbol_prefix;

    int (*init)(Driver *drvthis);
    void (*close)(Driver *drvthis);
    int (*width)(Driver *drvthis);
    int (*height)(Driver *drvthis);
    void (*clear)(Driver *drvthis);
    void (*flush)(Driver *drvthis);
    void (*string)(Driver *drvthis, int x, int y, const char *text);
    void (*chr)(Driver *drvthis, int x, int y, char c);
    const char *(*get_key)(Driver *drvthis);
    void (*vbar)(Driver *drvthis, int x, int y, int len, int promille, int options);
    void (*hbar)(Driver *drvthis, int x, int y, int len, int promille, int options);
    void (*num)(Driver *drvthis, int x, int num);
    void (*heartbeat)(Driver *drvthis, int state);
    int (*icon)(Driver *drvthis, int x, int y, int icon);
    void (*cursor)(Driver *drvthis, int x, int y, int type);
    void (*set_char)(Driver *drvthis, int n, unsigned char *rows);
    int (*get_free_chars)(Driver *drvthis);
    int (*cellwidth)(Driver *drvthis);
    int (*cellheight)(Driver *drvthis);
    int (*get_contrast)(Driver *drvthis);
    void (*set_contrast)(Driver *drvthis, int promille);
    int (*get_brightness)(Driver *drvthis, int state);
    void (*set_brightness)(Driver *drvthis, int state, int promille);
    void (*backlight)(Driver *drvthis, int on);
    void (*output)(Driver *drvthis, int state);
    const char *(*get_info)(Driver *drvthis);

    char *name;
    char *filename;
    void *module_handle;
    void *private_data;
    int (*store_private_ptr)(Driver *drvthis, void *private_data);

    short (*config_get_bool)(const char *sectionname, const char *keyname, int skip, short dflt);
    long (*config_get_int)(const char *sectionname, const char *keyname, int skip, long dflt);
    double (*config_get_float)(const char *sectionname, const char *keyname, int skip, double dflt);
    const char *(*config_get_string)(const char *sectionname, const char *keyname, int skip,
                                     const char *dflt);
    int (*config_has_section)(const char *sectionname);
    int (*config_has_key)(const char *sectionname, const char *keyname);

    int (*request_display_width)(void);
    int (*request_display_height)(void);
};

// Exported by the LCDd executable. Levels: 0 critical, 1 error, 2 warning, 3 notice, 4 info,
// 5 debug.
void report(int level, const char *format, ...);

} // extern "C"

// 43 pointer-sized fields; a field too many or too few shifts every call after it.
static_assert(sizeof(Driver) == 43 * sizeof(void *));
static_assert(offsetof(Driver, get_key) == 12 * sizeof(void *));
static_assert(offsetof(Driver, get_info) == 29 * sizeof(void *));
static_assert(offsetof(Driver, request_display_height) == 42 * sizeof(void *));

// Report levels.
enum ReportLevel { RPT_CRIT = 0, RPT_ERR, RPT_WARNING, RPT_NOTICE, RPT_INFO, RPT_DEBUG };
