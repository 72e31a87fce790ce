/* lattix: what the library read its setup data from, and what failed.
 *
 * The system folder (SystemDir of the machine-wide key Software\Orvane:
 * Orvane.conf in the XDG system configuration folders on Unix, the registry on
 * Windows) holds SYMGEN, APU and the COMMON folder of crystal files.  A
 * program that shows a setup failure asks the library here instead of looking
 * the folder up itself, so the message names the folder and file the library
 * actually tried.  Conventions as in lattixLib.h.
 */
#pragma once

#include "lattixLib.h"

#ifdef __cplusplus
extern "C" {
#endif

/* TLtxSetupReport.File: which file failed. */
#define LATTIX_SETUP_FILE_NONE 0    /* none, or no file (a Laue group outside 1..11) */
#define LATTIX_SETUP_FILE_CRYSTAL 1 /* the crystal file of InitCrySet */
#define LATTIX_SETUP_FILE_SYMGEN 2
#define LATTIX_SETUP_FILE_APU 3

#define LATTIX_SETUP_PATH_SIZE 1024 /* longer paths are cut (NUL-terminated) */
#define LATTIX_SETUP_TEXT_SIZE 2048

typedef struct TLtxSetupReport {
    uint16_t Status;   /* 0: every file was read in full; else the status (ErrMsg numbering) */
    int32_t File;      /* LATTIX_SETUP_FILE_* of the file that failed */
    int32_t LaueGroup; /* the Laue group whose SYMGEN line or APU record was read */
    uint8_t KeyFound;  /* 1: Folder is the key's SystemDir; 0: the built-in default */
    char Folder[LATTIX_SETUP_PATH_SIZE];    /* the system folder searched; empty if none was */
    char KeySource[LATTIX_SETUP_PATH_SIZE]; /* the Orvane.conf read, or where it was looked for */
    char Path[LATTIX_SETUP_PATH_SIZE];      /* the file that failed */
    /* The failure in words, e.g. "SYMGEN not found in /opt/orvane" or
     * "APU: record for Laue group 7 is damaged"; empty when Status is 0. */
    char Text[LATTIX_SETUP_TEXT_SIZE];
} TLtxSetupReport;

/* The report of the last InitCrySet or InitCrySet2 (or CheckSetupData) into
 * report; returns its Status.  report may be NULL: only the status. */
LATTIX_API uint16_t LATTIX_CALL GetSetupReport(TLtxSetupReport* report);

/* Looks the system folder up now (no message box) and reads SYMGEN and APU
 * through: every Laue group's line must give its group's number of rotations
 * (1, 2, 4, 4, 8, 3, 6, 6, 12, 12, 24) and APU must hold all 22 records.
 * Returns 0 or the status of the first failure; report (may be NULL) is
 * filled as GetSetupReport fills it.  Programs and benchmarks call it before
 * relying on crystal sets built from the setup data.  Does not change
 * LastStatus. */
LATTIX_API uint16_t LATTIX_CALL CheckSetupData(TLtxSetupReport* report);

#ifdef __cplusplus
}
#endif

LATTIX_CHECK_OFFSET(TLtxSetupReport, File, 4);
LATTIX_CHECK_OFFSET(TLtxSetupReport, LaueGroup, 8);
LATTIX_CHECK_OFFSET(TLtxSetupReport, KeyFound, 12);
LATTIX_CHECK_OFFSET(TLtxSetupReport, Folder, 13);
LATTIX_CHECK_OFFSET(TLtxSetupReport, Text, 3085);
LATTIX_CHECK_SIZE(TLtxSetupReport, 5136);
