// File search, type sniffing, base names and the text reader of line-oriented files.
#pragma once

#include <stdio.h>

#include "toolkit/wt.h"

extern "C" {

// File-type codes.
enum {
  WTFILE_NONE = 0,
  WTFILE_DXF = 1,
  WTFILE_NFF = 2,
  WTFILE_WFRONT = 4,
  WTFILE_GEO = 5,
  WTFILE_OLDBINARY1 = 6,
  WTFILE_OLDBINARY2 = 7,
  WTFILE_FLT = 8,
  WTFILE_3DS = 9,
  WTFILE_BFF = 11,
  WTFILE_SLP = 12,
  WTFILE_MAT = 13,
  WTFILE_VRML1 = 14,
  WTFILE_LIGHTS = 15,
  WTFILE_WBDF = 16,
  WTFILE_VRML2 = 17,
  WTFILE_JT = 18
};

int _WTfile_gettype(const char *path);
WTAPI char *_WTfile_findpath(const char *name, const char *list);
char *_WTfile_findmodel(const char *name);
char *_WTfile_basename(const char *path);

typedef struct WTreader WTreader;
WTreader *_WTreader_open(const char *path, FILE *file, const char *comment);
void _WTreader_close(WTreader *reader);
char *_WTreader_nexttoken(WTreader *reader);
int _WTreader_pushback(WTreader *reader);
int _WTreader_tokenpos(WTreader *reader);
int _WTreader_getfloat(WTreader *reader, float *out, const char *what);
int _WTreader_getfloat3(WTreader *reader, float *out, const char *what);
int _WTreader_gethexcolor(WTreader *reader, unsigned char *r, unsigned char *g, unsigned char *b,
                          const char *what);
int _WTreader_error(WTreader *reader, int offset, const char *message);
}
