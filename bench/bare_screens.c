/* The least a program can do to print what lsscreens prints under X11, for
 * the process benchmark to measure lsscreens against: the same X requests in
 * the same order (RandR version, the EDID atom, each X screen's monitors, each
 * monitor's output info and EDID property), the same sysfs reads (every
 * connector's status, then every connected connector's EDID: the benchmark
 * puts the monitors on the last connectors, so lsscreens reads them all too),
 * and the JSON line. Plain C (xcb, read(2), printf, no C++ runtime), fixed
 * buffers, and no checks beyond what keeps it from crashing on the
 * benchmark's setup: the floor lsscreens is measured against. */
#define _POSIX_C_SOURCE 200809L

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>

struct screen {
    int width, height;
    unsigned output, mmWidth, mmHeight;
    unsigned char edid[256];
    int edidSize;
    char name[14];
};

struct connector {
    unsigned char edid[512];
    int edidSize;
};

static int sameIdentity(const unsigned char* a, const unsigned char* b) { return memcmp(a + 8, b + 8, 8) == 0; }

static void readName(const unsigned char* edid, char* name)
{
    for (int at = 54; at < 126; at += 18)
        if (edid[at] == 0 && edid[at + 1] == 0 && edid[at + 3] == 0xFC) {
            int length = 0;
            while (length < 13 && edid[at + 5 + length] >= 0x20 && edid[at + 5 + length] < 0x7F) {
                name[length] = (char)edid[at + 5 + length];
                ++length;
            }
            while (length > 0 && name[length - 1] == ' ')
                --length;
            name[length] = 0;
            return;
        }
}

static int readAt(int directory, const char* path, void* buffer, int size)
{
    const int file = openat(directory, path, O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return -1;
    const int got = (int)read(file, buffer, (size_t)size);
    close(file);
    return got;
}

int main(void)
{
    static struct screen screens[64];
    static struct connector connectors[256];
    int screenCount = 0;
    xcb_connection_t* x = xcb_connect(NULL, NULL);
    xcb_get_extension_data(x, &xcb_randr_id);
    free(xcb_randr_query_version_reply(x, xcb_randr_query_version(x, 1, 5), NULL));
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(x, xcb_intern_atom(x, 1, 4, "EDID"), NULL);
    for (xcb_screen_iterator_t root = xcb_setup_roots_iterator(xcb_get_setup(x)); root.rem > 0;
         xcb_screen_next(&root)) {
        xcb_randr_get_monitors_reply_t* monitors =
            xcb_randr_get_monitors_reply(x, xcb_randr_get_monitors(x, root.data->root, 1), NULL);
        for (xcb_randr_monitor_info_iterator_t monitor = xcb_randr_get_monitors_monitors_iterator(monitors);
             monitor.rem > 0 && screenCount < 64; xcb_randr_monitor_info_next(&monitor)) {
            /* One X screen here, so the server's order has the primary first already. */
            screens[screenCount++] = (struct screen){.width = monitor.data->width,
                                                     .height = monitor.data->height,
                                                     .output = *xcb_randr_monitor_info_outputs(monitor.data)};
        }
        free(monitors);
    }
    for (int i = 0; i < screenCount; ++i) {
        struct screen* screen = &screens[i];
        xcb_randr_get_output_info_reply_t* info =
            xcb_randr_get_output_info_reply(x, xcb_randr_get_output_info(x, screen->output, XCB_CURRENT_TIME), NULL);
        screen->mmWidth = info->mm_width;
        screen->mmHeight = info->mm_height;
        free(info);
        xcb_randr_get_output_property_reply_t* property = xcb_randr_get_output_property_reply(
            x, xcb_randr_get_output_property(x, screen->output, atom->atom, XCB_ATOM_ANY, 0, 8192, 0, 0), NULL);
        screen->edidSize = xcb_randr_get_output_property_data_length(property);
        memcpy(screen->edid, xcb_randr_get_output_property_data(property),
               (size_t)(screen->edidSize < 256 ? screen->edidSize : 256));
        free(property);
    }
    free(atom);
    xcb_disconnect(x);

    int connectorCount = 0;
    DIR* drm = opendir("/sys/class/drm");
    const struct dirent* entry;
    while (drm && (entry = readdir(drm))) {
        char path[300], status[16];
        if (strncmp(entry->d_name, "card", 4) != 0 || !strchr(entry->d_name, '-') || connectorCount == 256)
            continue;
        snprintf(path, sizeof path, "%s/status", entry->d_name);
        if (readAt(dirfd(drm), path, status, sizeof status) >= 9 && strncmp(status, "connected", 9) == 0) {
            struct connector* connector = &connectors[connectorCount++];
            snprintf(path, sizeof path, "%s/edid", entry->d_name);
            connector->edidSize = readAt(dirfd(drm), path, connector->edid, sizeof connector->edid);
        }
    }
    for (int i = 0; i < screenCount; ++i)
        for (int c = 0; c < connectorCount && screens[i].edidSize >= 16; ++c)
            if (connectors[c].edidSize >= 128 && sameIdentity(connectors[c].edid, screens[i].edid)) {
                readName(connectors[c].edid, screens[i].name);
                break;
            }
    if (drm)
        closedir(drm);

    printf("[");
    for (int i = 0; i < screenCount; ++i) {
        const struct screen* s = &screens[i];
        printf("%s{\"resWidth\":%d,\"resHeight\":%d,\"mmWidth\":%u,\"mmHeight\":%u,\"id\":%u", i ? "," : "", s->width,
               s->height, s->mmWidth, s->mmHeight, s->output);
        printf(s->name[0] ? ",\"name\":\"%s\"}" : "}", s->name);
    }
    printf("]\n");
    return 0;
}
