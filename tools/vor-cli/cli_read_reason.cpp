// The system's reason a file could not be read, in vor-cli's words.
#include "cli_output.h"
#include "core/imaging/file.h"

const char *CliOut_ReadReason(int problem)
{
    switch (problem) {
    case FILEREAD_MISSING: return "no such file";
    case FILEREAD_DENIED: return "permission denied";
    case FILEREAD_FOLDER: return "is a folder";
    case FILEREAD_NOT_A_FILE: return "not a regular file (a device, pipe or socket)";
    case FILEREAD_TOO_LARGE: return "too large";
    case FILEREAD_PATH_TOO_LONG: return "path too long";
    case FILEREAD_OK: return "a read failed";
    default: return "the system refused it";
    }
}
