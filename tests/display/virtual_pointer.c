// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
//
// A pointer for a headless wlroots compositor, driven line by line from standard input:
//   move X Y      absolute position in the output layout, logical pixels, fractions allowed
//   press         left button down
//   release       left button up
// Each line is answered with "ok" once the compositor has handled it. Usage: virtual_pointer WIDTH HEIGHT,
// the layout's logical size.
#define _POSIX_C_SOURCE 200809L // clock_gettime

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

// Absolute positions are sent as fractions of the layout; this many steps per logical pixel.
enum { kSubpixels = 256 };

static struct zwlr_virtual_pointer_manager_v1* manager;
static struct wl_seat* seat;

static void global_added(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && seat == NULL)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void global_removed(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static uint32_t now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

// Returns 0 when the line was a known command and has been sent.
static int send_command(struct zwlr_virtual_pointer_v1* pointer, const char* line, uint32_t width,
                        uint32_t height) {
    double x, y;
    char word[16];
    if (sscanf(line, "move %lf %lf", &x, &y) == 2) {
        if (x < 0 || y < 0 || x > width || y > height)
            return -1;
        zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), (uint32_t)lround(x * kSubpixels),
                                                (uint32_t)lround(y * kSubpixels), width * kSubpixels,
                                                height * kSubpixels);
    } else if (sscanf(line, "%15s", word) == 1 &&
               (strcmp(word, "press") == 0 || strcmp(word, "release") == 0)) {
        const int down = strcmp(word, "press") == 0;
        zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT,
                                       down ? WL_POINTER_BUTTON_STATE_PRESSED
                                            : WL_POINTER_BUTTON_STATE_RELEASED);
    } else {
        return -1;
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    return 0;
}

int main(int argc, char* argv[]) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    const uint32_t width = (uint32_t)strtoul(argv[1], NULL, 10);
    const uint32_t height = (uint32_t)strtoul(argv[2], NULL, 10);
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "virtual_pointer: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (manager == NULL) {
        fprintf(stderr, "virtual_pointer: the compositor offers no %s\n",
                zwlr_virtual_pointer_manager_v1_interface.name);
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    // The compositor adds the device to the seat now, so clients see a pointer from here on.
    wl_display_roundtrip(display);
    printf("ready\n");
    fflush(stdout);

    char line[256];
    while (fgets(line, sizeof line, stdin) != NULL) {
        if (send_command(pointer, line, width, height) != 0) {
            fprintf(stderr, "virtual_pointer: cannot do: %s", line);
            return 2;
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "virtual_pointer: lost the display\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(manager);
    wl_display_disconnect(display);
    return 0;
}
