/* The entry points of an image plug-in, as a plug-in exports them (C linkage, the Windows plug-ins' C
 * signatures). The Linux stand-ins for the Windows types: a "handle" is a pointer to a block from malloc()
 * that the host frees with free(); the "long" values are 32-bit; a picture is a device-independent bitmap,
 * the info block holding a 40-byte bitmap header and its palette, the bits block the rows bottom up (top
 * down for a negative height), each padded to 4 bytes. This header is plain C so that a plug-in can be
 * written in C against it. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* SusieHandle;
typedef int (*SusieProgressCallback)(int done, int total, int32_t data);

#pragma pack(push, 1)
/* Filled by GetPictureInfo: left, top, width, height, densities, colour depth, and at byte offset 22 a
 * block with a text of further information (may be null; the host frees it). */
typedef struct SusiePictureInfo {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t xDensity;
    uint16_t yDensity;
    int16_t colorDepth;
    SusieHandle info;
} SusiePictureInfo;

/* The bitmap header at the start of a picture's info block (Windows' BITMAPINFOHEADER), followed by
 * 4-byte palette entries (blue, green, red, 0) for 1, 4 and 8 bits per pixel. */
typedef struct SusieBitmapHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
} SusieBitmapHeader;
#pragma pack(pop)

/* Information number 0 gives the API version ("00IN" for an import plug-in), 2, 4, 6 ... the file
 * patterns ("*.ext") and 3, 5, 7 ... their descriptions; the result is the number of characters written,
 * 0 when there is no such entry. */
typedef int (*SusieGetPluginInfo)(int infoNumber, char* buffer, int bufferLength);
/* 1 when the plug-in reads the file; `head` points to a 2,048-byte buffer with the start of the file. */
typedef int (*SusieIsSupported)(const char* fileName, void* head);
/* flag 0: `buffer` is a file name and `offset` where the picture starts in it. 0 on success. */
typedef int (*SusieGetPictureInfo)(const char* buffer, int32_t offset, unsigned int flag, SusiePictureInfo* info);
/* 0 on success, 1 when cancelled, another value for an error; fills both handles on success. */
typedef int (*SusieGetPicture)(const char* buffer, int32_t offset, unsigned int flag, SusieHandle* bitmapInfo,
                               SusieHandle* bitmapBits, SusieProgressCallback progress, int32_t data);
typedef int (*SusieGetPreview)(const char* buffer, int32_t offset, unsigned int flag, SusieHandle* bitmapInfo,
                               SusieHandle* bitmapBits, SusieProgressCallback progress, int32_t data);
typedef int (*SusieGetArchiveInfo)(const char* buffer, int32_t offset, unsigned int flag, SusieHandle* info);
typedef int (*SusieGetFileInfo)(const char* buffer, int32_t offset, const char* fileName, unsigned int flag,
                                void* info);
typedef int (*SusieGetFile)(const char* source, int32_t offset, char* destination, unsigned int flag,
                            SusieProgressCallback progress, int32_t data);
typedef int (*SusieConfigurationDlg)(void* parent, int function);

#ifdef __cplusplus
}
#endif
