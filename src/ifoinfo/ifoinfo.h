/* The IFO reader contract: a title set's program chains (titles), their cells (chapters) and
 * its video, audio and subpicture streams, read from a VTS_nn_0.IFO file. C-callable.
 *
 * All numbers are 32-bit. Texts are zero-terminated 8-bit ASCII owned by the handle and valid
 * until ifoClose. A null handle or an index out of range gives 0 and empty texts, never a
 * crash.
 *
 * libdvdread, which this library reads with, exports functions of its own called ifoOpen and
 * ifoClose, so the linker names of these functions carry an "orvex_" prefix; callers write the
 * names below. (A file cannot include both this header and <dvdread/ifo_read.h>.) */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__) || defined(__clang__)
#define IFOINFO_STR2(x) #x
#define IFOINFO_STR(x) IFOINFO_STR2(x)
#define IFOINFO_LINK_NAME(name) __asm__(IFOINFO_STR(__USER_LABEL_PREFIX__) "orvex_" #name)
#else
#define IFOINFO_LINK_NAME(name)
#endif

/* One title set as read at ifoOpen. */
typedef struct IfoInfo IfoInfo;

/* Bytes per cell record filled by ifoGetPGCICells. */
#define IFOINFO_CELL_RECORD_SIZE 17

/* Bytes per program record filled by ifoGetPGCIPrograms. */
#define IFOINFO_PROGRAM_RECORD_SIZE 12

/* Reads the title set of a VTS_nn_0.IFO file (any letter case; its backup VTS_nn_0.BUP is used
 * when the IFO is damaged), in a disc folder or inside a disc image
 * ("/x/disc.iso/VIDEO_TS/VTS_01_0.IFO"). path is in the file system's encoding (UTF-8 here);
 * flags must be 0. NULL when the file is missing, is not a title set IFO, or cannot be read.
 * Everything is read here, in a short-lived child process (a damaged file that crashes
 * libdvdread only ends that child), so the handle holds no file open; a handle never closed
 * costs only memory. Files that are not regular files (a FIFO, a device) are refused unread. */
IfoInfo* ifoOpen(const char* path, int32_t flags) IFOINFO_LINK_NAME(ifoOpen);

/* Several title sets read at once, in one child process, each disc opened once: what a disc
 * listing uses. paths are IFO files as for ifoOpen and disc image files, which stand for every
 * title set they hold (in title set order). NULL only when count is negative or flags are not
 * 0; otherwise a batch of ifoBatchCount entries in the order of paths, each read or not. */
typedef struct IfoBatch IfoBatch;
IfoBatch* ifoOpenBatch(const char* const* paths, int32_t count, int32_t flags)
    IFOINFO_LINK_NAME(ifoOpenBatch);
int32_t ifoBatchCount(const IfoBatch* b) IFOINFO_LINK_NAME(ifoBatchCount);
/* The IFO path of entry i; inside an image, the image's path followed by
 * "/VIDEO_TS/VTS_nn_0.IFO". */
const char* ifoBatchPath(const IfoBatch* b, int32_t i) IFOINFO_LINK_NAME(ifoBatchPath);
/* Why entry i could not be read ("it is damaged, and so is its backup VTS_01_0.BUP",
 * "Permission denied"); "" when it was read. */
const char* ifoBatchError(const IfoBatch* b, int32_t i) IFOINFO_LINK_NAME(ifoBatchError);
/* Entry i's handle, handed over once (later calls give NULL); NULL when it was not read. The
 * caller closes it with ifoClose. */
IfoInfo* ifoBatchTake(IfoBatch* b, int32_t i) IFOINFO_LINK_NAME(ifoBatchTake);
/* Frees the batch and the handles not taken. NULL is allowed. */
void ifoBatchClose(IfoBatch* b) IFOINFO_LINK_NAME(ifoBatchClose);

/* Number of program chains in the title set. */
int32_t ifoGetNumPGCI(const IfoInfo* h) IFOINFO_LINK_NAME(ifoGetNumPGCI);

/* Number of cells of chain `chain` (from 0). time, when not NULL, receives the chain's playing
 * time: hours, minutes, seconds and frames, as plain numbers (not BCD). */
int32_t ifoGetPGCIInfo(const IfoInfo* h, int32_t chain, unsigned char time[4])
    IFOINFO_LINK_NAME(ifoGetPGCIInfo);

/* Fills IFOINFO_CELL_RECORD_SIZE bytes per cell of chain `chain` into `cells`, which must have
 * room for as many records as ifoGetPGCIInfo reports. Per record: bytes 0-3 the first sector,
 * 4-7 the last sector (little-endian signed 32-bit, in the title set's VOB sector space, as
 * libdvdread's DVD_READ_TITLE_VOBS reads it), 8-12 zero, 13 hours, 14 minutes, 15 seconds and
 * 16 frames of the cell's playing time (plain numbers). Returns the number of records filled. */
int32_t ifoGetPGCICells(const IfoInfo* h, int32_t chain, unsigned char* cells)
    IFOINFO_LINK_NAME(ifoGetPGCICells);

/* The programs of chain `chain`, which players call its chapters: with `programs` NULL, only
 * their number; otherwise IFOINFO_PROGRAM_RECORD_SIZE bytes per program. Per record: bytes 0-3
 * the index (from 0) of its first cell, 4-7 its number of cells (little-endian signed 32-bit;
 * a program is never empty and its cells lie within the chain's), 8 hours, 9 minutes, 10 seconds
 * and 11 frames of its playing time, its cells' times added up. A chain whose program map is
 * missing or damaged has one program per cell. Returns the number of programs. */
int32_t ifoGetPGCIPrograms(const IfoInfo* h, int32_t chain, unsigned char* programs)
    IFOINFO_LINK_NAME(ifoGetPGCIPrograms);

/* The 16 subpicture colours of chain `chain` as the IFO holds them, 0x00YYCrCb each (luma,
 * red and blue difference). Returns 16, or 0 (palette untouched) for a chain out of range. */
int32_t ifoGetPGCIPalette(const IfoInfo* h, int32_t chain, uint32_t palette[16])
    IFOINFO_LINK_NAME(ifoGetPGCIPalette);

/* "MPEG-2 720x576 PAL 16:9": the second blank-separated word is the picture size. */
const char* ifoGetVideoDesc(const IfoInfo* h) IFOINFO_LINK_NAME(ifoGetVideoDesc);

/* Audio streams of the title set and their descriptions, e.g. "English AC-3 6ch (0x80)". The
 * four characters before ")" are the stream's program-stream id: 0x80+n AC-3, 0x88+n DTS,
 * 0xa0+n LPCM, 0xc0+n MPEG audio. */
int32_t ifoGetNumAudio(const IfoInfo* h) IFOINFO_LINK_NAME(ifoGetNumAudio);
const char* ifoGetAudioDesc(const IfoInfo* h, int32_t stream) IFOINFO_LINK_NAME(ifoGetAudioDesc);

/* Subpicture streams and their descriptions, e.g. "Deutsch (0x21)" (id 0x20+n). */
int32_t ifoGetNumSubPic(const IfoInfo* h) IFOINFO_LINK_NAME(ifoGetNumSubPic);
const char* ifoGetSubPicDesc(const IfoInfo* h, int32_t stream) IFOINFO_LINK_NAME(ifoGetSubPicDesc);

/* Frees the handle and its texts. NULL is allowed. */
void ifoClose(IfoInfo* h) IFOINFO_LINK_NAME(ifoClose);

#ifdef __cplusplus
}
#endif
