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

/* Reads the title set of a VTS_nn_0.IFO file (any letter case; its backup VTS_nn_0.BUP is used
 * when the IFO is damaged). path is in the file system's encoding (UTF-8 here); flags must be
 * 0. NULL when the file is missing, is not a title set IFO, or cannot be read. Everything is
 * read here, in a short-lived child process (a damaged file that crashes libdvdread only ends
 * that child), so the handle holds no file open; a handle never closed costs only memory. */
IfoInfo* ifoOpen(const char* path, int32_t flags) IFOINFO_LINK_NAME(ifoOpen);

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
