// The export's count of written and failed files, and what it says about
// the first failure.
#include <cstdio>

#include "output/export.h"

const char *Export_FailureText(int failure)
{
    switch (failure) {
    case EXPORT_WRITTEN: return "";
    case FILEWRITE_PATH_TOO_LONG: return "경로가 너무 깁니다.";
    case FILEWRITE_CANNOT_CREATE: return "파일을 만들 수 없습니다. 폴더에 쓸 수 있는지 확인해 주세요.";
    case FILEWRITE_WRITE_FAILED: return "파일을 끝까지 쓰지 못했습니다. 디스크 공간을 확인해 주세요.";
    case FILEWRITE_CANNOT_REPLACE: return "같은 이름의 파일을 바꿀 수 없습니다.";
    case FILEWRITE_NOT_A_FILE: return "그 이름에 파일이 아닌 것(장치, 링크, 폴더)이 있어 바꾸지 않습니다.";
    default: return "메모리가 부족합니다.";
    }
}

void ExportTally_Add(ExportTally *tally, const char *path, int failure)
{
    if (failure == EXPORT_WRITTEN) {
        tally->written++;
        return;
    }
    if (tally->failed++ == 0) {
        tally->firstFailure = failure;
        snprintf(tally->firstFailedPath, sizeof tally->firstFailedPath, "%s", path ? path : "");
    }
}
