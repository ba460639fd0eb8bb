/* A terminal protocol module that offers TpOpen and TpClose only. */
#include <stddef.h>
#include <stdint.h>

static uint32_t Open(int32_t kind, int32_t number, int32_t a3, int32_t baud, int32_t a5,
                     int32_t a6, int32_t a7, int32_t a8, int32_t a9) {
    (void)a3; (void)a5; (void)a6; (void)a7; (void)a9;
    return (uint32_t)(kind * 1000 + number * 10 + baud + a8 * 100000);
}

static int32_t Close(uint32_t handle) {
    (void)handle;
    return 0;
}

__attribute__((visibility("default"))) void* TerminalProtocolProc(int ordinal) {
    switch (ordinal) {
        case 101: return (void*)&Open;
        case 102: return (void*)&Close;
        default: return NULL;
    }
}
