/* An image plug-in for the tests, for a made-up format ".qpx": the bytes "QPX1", the width and the height
 * as 16-bit little-endian numbers, then the pixels top to bottom as red, green, blue bytes. Built several
 * times with TEST_PLUGIN_KIND choosing how it behaves:
 *   0 a working import plug-in          1 an archive plug-in ("00AM")
 *   2 no API version (GetPluginInfo(0) fails)
 *   3 claims the file, hands back 1000 x 1000 pixels in a bits block of 16 bytes
 *   4 claims the file, hands back a picture of 40000 x 40000 pixels
 *   5 claims the file, hands back a picture of width 0
 *   6 crashes while it is loaded
 *   7 crashes when asked for its API version
 *   8 crashes (SIGSEGV) in GetPicture       9 calls exit(3) in IsSupported
 *  10 never returns from GetPicture */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "preview/SusiePlugin.h"

#ifndef TEST_PLUGIN_KIND
#define TEST_PLUGIN_KIND 0
#endif

#define EXPORT __attribute__((visibility("default")))
#define BROKEN_PICTURE (TEST_PLUGIN_KIND >= 3 && TEST_PLUGIN_KIND <= 5)

#if TEST_PLUGIN_KIND == 6
#include <signal.h>
__attribute__((constructor)) static void crashOnLoad(void) {
    raise(SIGSEGV);
}
#endif

static int copyInfo(const char* text, char* buffer, int length) {
    int n = (int)strlen(text);
    if (n > length)
        n = length;
    memcpy(buffer, text, (size_t)n);
    if (n < length)
        buffer[n] = '\0';
    return n;
}

EXPORT int GetPluginInfo(int number, char* buffer, int length) {
    switch (number) {
    case 0:
        if (TEST_PLUGIN_KIND == 2)
            return 0;
        if (TEST_PLUGIN_KIND == 7)
            return *(volatile int*)0;
        return copyInfo(TEST_PLUGIN_KIND == 1 ? "00AM" : "00IN", buffer, length);
    case 1: return copyInfo("Quillory test plug-in", buffer, length);
    case 2: return copyInfo("*.qpx", buffer, length);
    case 3: return copyInfo("Quillory test picture", buffer, length);
    default: return 0;
    }
}

EXPORT int IsSupported(const char* fileName, void* head) {
    (void)fileName;
    if (TEST_PLUGIN_KIND == 9)
        exit(3);
    return memcmp(head, "QPX1", 4) == 0 ? 1 : 0;
}

static int readHeader(FILE* file, int* width, int* height) {
    unsigned char header[8];
    if (fread(header, 1, 8, file) != 8 || memcmp(header, "QPX1", 4) != 0)
        return 0;
    *width = header[4] | (header[5] << 8);
    *height = header[6] | (header[7] << 8);
    return 1;
}

EXPORT int GetPictureInfo(const char* buffer, int32_t offset, unsigned int flag, SusiePictureInfo* info) {
    (void)flag;
    FILE* file = fopen(buffer, "rb");
    int width = 0, height = 0;
    if (!file)
        return 6;
    fseek(file, offset, SEEK_SET);
    int ok = readHeader(file, &width, &height);
    fclose(file);
    if (!ok)
        return 2;
    memset(info, 0, sizeof *info);
    info->width = width;
    info->height = height;
    info->colorDepth = 24;
    info->info = malloc(8);
    memcpy(info->info, "qpx", 4);
    return 0;
}

EXPORT int GetPicture(const char* buffer, int32_t offset, unsigned int flag, SusieHandle* bitmapInfo,
                      SusieHandle* bitmapBits, SusieProgressCallback progress, int32_t data) {
    (void)flag;
    (void)progress;
    (void)data;
    if (TEST_PLUGIN_KIND == 8)
        *(volatile int*)0 = 1;
    while (TEST_PLUGIN_KIND == 10)
        pause();
    FILE* file = fopen(buffer, "rb");
    int width = 0, height = 0;
    if (!file)
        return 6;
    fseek(file, offset, SEEK_SET);
    if (!readHeader(file, &width, &height)) {
        fclose(file);
        return 2;
    }
    SusieBitmapHeader* header = calloc(1, sizeof(SusieBitmapHeader));
    header->size = sizeof(SusieBitmapHeader);
    header->width = TEST_PLUGIN_KIND == 3 ? 1000 : TEST_PLUGIN_KIND == 4 ? 40000 : TEST_PLUGIN_KIND == 5 ? 0 : width;
    header->height = TEST_PLUGIN_KIND == 3 ? 1000 : TEST_PLUGIN_KIND == 4 ? 40000 : height;
    header->planes = 1;
    header->bitCount = 24;
    const size_t stride = ((size_t)width * 3 + 3) / 4 * 4;
    unsigned char* bits = calloc(1, BROKEN_PICTURE ? 16 : stride * (size_t)height + 1);
    if (!BROKEN_PICTURE) {
        /* Rows bottom up, blue, green, red. */
        for (int y = 0; y < height; ++y) {
            unsigned char* row = bits + (size_t)(height - 1 - y) * stride;
            for (int x = 0; x < width; ++x) {
                unsigned char rgb[3] = {0, 0, 0};
                if (fread(rgb, 1, 3, file) != 3)
                    break;
                row[x * 3] = rgb[2];
                row[x * 3 + 1] = rgb[1];
                row[x * 3 + 2] = rgb[0];
            }
        }
    }
    fclose(file);
    *bitmapInfo = header;
    *bitmapBits = bits;
    return 0;
}
