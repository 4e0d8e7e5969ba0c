// Error stack of the 3DS toolkit.
#include "ftk3ds/internal.h"

extern "C" {
uint8_t ftkerr3ds = 0;
uint8_t ignoreftkerr3ds = 0;
}

namespace {

// 19 entries, the terminator (index 19, code stays 0) and the overflow entry (index 20).
ErrRec3ds errList[ERR_OVERFLOW_INDEX3DS + 1];

const char *const kMessages[] = {
    "NO_FTK_ERRORS: No errors are pending",
    "ERR_NO_MEM: Not enough memory to complete operation",
    "ERR_INVALID_ARG: The argument passed to the function is invalid.  Usually caused by a NULL "
    "pointer or an out of range numeric argument.",
    "ERR_INVALID_DATA: The structure passed as an argument to the function has invalid or out "
    "of range data in its fields.",
    "ERR_INVALID_CHUNK: An invalid chunk structure was encountered while reading the database. "
    "Usually caused by a corrupt database or file",
    "ERR_INVALID_DATABASE: The database passed as an argument has not be created yet.",
    "ERR_WRONG_DATABASE: The database passed as an argument is the wrong kind of database for "
    "this function.",
    "ERR_UNFOUND_CHUNK: The database is missing important file chunks needed to fill out the "
    "requested structure.  Usually caused by a corrupt database or file",
    "ERR_WRONG_OBJECT: The name passed to the functions exists, but is not the type of object "
    "asked for.  For example, asking for a mesh object with the GetCameraByName3ds function.",
    "ERR_NO_SUCH_FILE: The filename passed as an argument for reading does not exist",
    "ERR_INIT_FAILED: Failed to initialize structure passed as an argument",
    "ERR_OPENING_FILE: Could not open requested file",
    "ERR_CLOSING_FILE: Could not close requested file",
    "ERR_READING_FILE: Error occured while reading file",
    "ERR_CREATING_DATABASE: Error occured while creating database",
    "ERR_READING_DATABASE: Error occured while reading database",
    "ERR_WRITING_DATABASE: Error occured while writing database",
    "ERR_WRITING_FILE: Error occured while writing file",
    "ERR_STRING_TOO_LONG: String encountered in file, structure, or as an argument was longer "
    "than expected.  Possibly caused by an uninitialed pointer, corrupt file or database",
    "ERR_TOO_MANY_FILES: The toolkit has reached its maximum open file limit of 252 files.",
};

const char kTooMany[] = "N_ERRORS: More errors were reported then could be recorded.";
const char kUnknown[] = "Unknown error code was encountered";

uint32_t pushes = 0;

}  // namespace

uint32_t ftk3ds::ErrorSerial() { return pushes; }

extern "C" {

const char *ErrCodeToString3ds(ErrorCode3ds code) {
  if (code >= 0 && code <= ERR_TOO_MANY_FILES) return kMessages[code];
  if (code == N_ERRORS) return kTooMany;
  return kUnknown;
}

const char *PushErrList3ds(ErrorCode3ds code) {
  if (code == NO_FTK_ERRORS) return nullptr;
  ftkerr3ds = 1;
  ++pushes;
  const char *message = ErrCodeToString3ds(code);
  for (int i = 0; i < ERR_STACK_ENTRIES3DS; ++i) {
    if (errList[i].code == NO_FTK_ERRORS) {
      errList[i].code = code;
      errList[i].message = message;
      errList[i + 1].code = NO_FTK_ERRORS;
      return message;
    }
  }
  ErrRec3ds &overflow = errList[ERR_OVERFLOW_INDEX3DS];
  if (overflow.code == NO_FTK_ERRORS) {
    overflow.code = code;
    overflow.message = message;
  } else {
    overflow.code = N_ERRORS;
    overflow.message = kTooMany;
  }
  return message;
}

void ClearErrList3ds(void) {
  ftkerr3ds = 0;
  for (int i = 0; i < ERR_LIST_SIZE3DS; ++i) errList[i].code = NO_FTK_ERRORS;
}

const ErrRec3ds *GetErrList3ds(void) { return errList; }

}  // extern "C"
