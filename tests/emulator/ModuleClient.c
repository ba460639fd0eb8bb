/* Uses the terminal protocol module as a C program would: dlopen, then operations by
 * ordinal, on a bench of its own made with stdio in a temporary folder.
 * Usage: emulator_c_client <path of libterminalprotocol.so> */

#define _XOPEN_SOURCE 700

#include <dlfcn.h>
#include <ftw.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

typedef uint32_t (*OpenFunction)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                 int32_t, int32_t);
typedef int32_t (*CloseFunction)(uint32_t);
typedef int32_t (*PathFunction)(uint32_t, const char*);
typedef int32_t (*ListFunction)(uint32_t, const char*, int32_t*, uint8_t*, int32_t*);
typedef int32_t (*PutFunction)(uint32_t, const char*, const char*, int32_t, int32_t);
typedef uint32_t (*CountFunction)(void);
typedef int32_t (*NameFunction)(int32_t, char*, int32_t*);

static int failures = 0;
static char base[] = "/tmp/tarvik-c-client-XXXXXX";
static void* (*proc)(int);

#define CHECK(condition, ...)                              \
    do {                                                   \
        if (!(condition)) {                                \
            fprintf(stderr, "FAILED line %d: ", __LINE__); \
            fprintf(stderr, __VA_ARGS__);                  \
            fputc('\n', stderr);                           \
            ++failures;                                    \
        }                                                  \
    } while (0)

/* A folder for a name ending in '/', else a file with that content. */
static void Make(const char* relative, const char* content) {
    char path[512];
    snprintf(path, sizeof path, "%s/%s", base, relative);
    if (path[strlen(path) - 1] == '/') {
        mkdir(path, 0777);
        return;
    }
    FILE* file = fopen(path, "wb");
    if (file == NULL || fputs(content, file) < 0 || fclose(file) != 0) {
        fprintf(stderr, "cannot write %s\n", path);
        exit(2);
    }
}

static void* Operation(int ordinal) {
    void* address = proc(ordinal);
    if (address == NULL) {
        fprintf(stderr, "the module has no operation %d\n", ordinal);
        exit(2);
    }
    return address;
}

static int RemoveEntry(const char* path, const struct stat* info, int flag, struct FTW* walk) {
    (void)info, (void)flag, (void)walk;
    return remove(path);
}

static uint32_t SizeOf(const uint8_t* record) {
    return (uint32_t)record[26] | (uint32_t)record[27] << 8 | (uint32_t)record[28] << 16 |
           (uint32_t)record[29] << 24;
}

int main(int argc, char** argv) {
    void* module = argc == 2 ? dlopen(argv[1], RTLD_NOW) : NULL;
    if (module == NULL || mkdtemp(base) == NULL) {
        fprintf(stderr, "usage: %s <module>: %s\n", argv[0], argc == 2 ? dlerror() : "");
        return 2;
    }
    *(void**)&proc = dlsym(module, "TerminalProtocolProc");
    if (proc == NULL) return 2;
    OpenFunction tpOpen = (OpenFunction)Operation(101);
    CloseFunction tpClose = (CloseFunction)Operation(102);
    CountFunction tpUsbCount = (CountFunction)Operation(105);
    NameFunction tpUsbName = (NameFunction)Operation(107);
    ListFunction tpListDir = (ListFunction)Operation(202);
    PathFunction tpMakeDir = (PathFunction)Operation(204);
    PathFunction tpRemoveDir = (PathFunction)Operation(205);
    PathFunction tpDeleteFile = (PathFunction)Operation(207);
    PutFunction tpPutFile = (PutFunction)Operation(209);

    const char* layout[][2] = {
        {"bench/", NULL},
        {"bench/t1/", NULL},
        {"bench/t1/terminal.ini", "port=COM3\nmodel=TQ-3100\ndrives=C:2048 D:4096\n"},
        {"bench/t1/C/", NULL},
        {"bench/t1/C/DATA/", NULL},
        {"bench/t1/C/DATA/STOCK.DAT", "12345"},
        {"bench/t1/C/README.TXT", "hello there"},
        {"bench/usb/", NULL},
        {"bench/usb/terminal.ini", "port=TQ-3100-0001\nmodel=TQ-3100\ndrives=C:2048\n"},
        {"PC.TXT", "from the pc"},
    };
    for (size_t i = 0; i < sizeof layout / sizeof layout[0]; ++i) Make(layout[i][0], layout[i][1]);
    char bench[512], pcFile[512];
    snprintf(bench, sizeof bench, "%s/bench", base);
    snprintf(pcFile, sizeof pcFile, "%s/PC.TXT", base);
    setenv("TARVIK_TERMINALS", bench, 1);

    const uint32_t link = tpOpen(1, 3, 0, 6, 0, 0, 0, 1, 0);
    CHECK(link != 0, "TpOpen of COM3 gave no link");
    uint8_t records[7200 + 32];
    int32_t count = 0, size = 7200;
    memset(records, 0xAB, sizeof records);
    int32_t rc = tpListDir(link, "C:\\", &count, records, &size);
    CHECK(rc == 0 && count == 2, "listing C:\\ gave %d with %d entries", rc, count);
    CHECK(memcmp(records, "DATA\0\0\0\0\0\0\0\1", 12) == 0, "first record is not folder DATA");
    CHECK(memcmp(records + 32, "README\0\0TXT\2", 12) == 0 && SizeOf(records + 32) == 11,
          "second record is not the 11-byte file README.TXT");
    CHECK(records[64] == 0xAB, "a byte past the last record was written");
    rc = tpListDir(link, "C:\\DATA", &count, records, &size);
    CHECK(rc == 0 && count == 1 && memcmp(records, "STOCK\0\0\0DAT\2", 12) == 0 &&
              SizeOf(records) == 5,
          "listing C:\\DATA gave %d, not STOCK.DAT of 5 bytes", rc);
    for (int i = 12; i < 26; ++i) {
        CHECK(records[i] >= '0' && records[i] <= '9', "date byte %d is no digit", i);
    }

    rc = tpPutFile(link, pcFile, "C:\\README.TXT", 0, 1);
    CHECK(rc == 2625, "put over an existing file without overwrite gave %d, not 2625", rc);
    rc = tpListDir(link, "E:\\", &count, records, &size);
    CHECK(rc == 2616, "listing E:\\ of a terminal without E gave %d, not 2616", rc);
    rc = tpMakeDir(link, "C:\\DATA");
    CHECK(rc == 2630, "making the existing folder C:\\DATA gave %d, not 2630", rc);
    rc = tpRemoveDir(link, "C:\\DATA");
    CHECK(rc == 2631, "removing the non-empty C:\\DATA gave %d, not 2631", rc);
    rc = tpDeleteFile(link, "C:\\DATA\\NONE.DAT");
    CHECK(rc == 2622, "deleting a missing file gave %d, not 2622", rc);
    tpClose(link);

    CHECK(tpUsbCount() == 1, "TpUsbCount gave %u, not 1", tpUsbCount());
    char name[33] = {0};
    size = 33;
    rc = tpUsbName(0, name, &size);
    CHECK(rc == 0 && strcmp(name, "TQ-3100-0001") == 0, "TpUsbName gave %d, \"%s\"", rc, name);
    const uint32_t usb = tpOpen(2, 1, 0, 6, 0, 0, 0, 1, 0);
    CHECK(usb != 0, "TpOpen of the first USB terminal gave no link");
    tpClose(usb);

    nftw(base, RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    printf("%d passed, %d failed\n", failures == 0, failures != 0);
    return failures == 0 ? 0 : 1;
}
