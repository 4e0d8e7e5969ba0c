// The VRML 1.0 reader's inner layers: the input stream and tokenizer, the value pool with the
// field readers, the shape builders and the HTTP fetch.  One read at a time; the state is
// module-wide.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include "toolkit/wt.h"

extern "C" {

// ---- Input stream and tokenizer --------------------------------------------------------------

// Token codes.
enum {
  VT_OTHER = 0,
  VT_LPAREN = 1,
  VT_RPAREN = 2,
  VT_LBRACKET = 3,
  VT_RBRACKET = 4,
  VT_LBRACE = 5,
  VT_RBRACE = 6,
  VT_COMMA = 7,
  VT_TILDE = 8,
  VT_BAR = 9,
  VT_END = 10,
  VT_INT = 11,
  VT_FLOAT = 12,
  VT_DEF = 13,
  VT_USE = 14,
  VT_STRING = 15,
  VT_IDENT = 16,
  VT_NODE = 17,
  VT_FIELD = 18,
  VT_VALUE = 19
};

// A connected socket handle, -1 for none.
typedef intptr_t WTsocket;

struct WTvrmlkeyword {
  const char *name;
  int kind;
  int number;
};

// Starts reading a file (when given) or a socket and checks the first block; false when the
// source holds no VRML 1.0 document.  The copy file, when given, receives every block read.
int _WTvrml_openinput(FILE *file, WTsocket socket);
int _WTvrml_openstream(FILE *file, WTsocket socket, FILE *copy);
int _WTvrml_gettoken(void);
void _WTvrml_ungettoken(int code);
const WTvrmlkeyword *_WTvrml_keyword(const char *text, int length);
void _WTvrml_freetoken(void);
const char *_WTvrml_tokentext(void);
int _WTvrml_tokenlength(void);
int _WTvrml_tokenline(void);
int _WTvrml_intvalue(void);
float _WTvrml_floatvalue(void);

// ---- Value pool and field readers ------------------------------------------------------------

// Grows the pool so that `index` + `words` fit; the pool's words.
uint32_t *_WTvrml_poolreserve(int index, int words);
uint32_t *_WTvrml_pool(void);
float _WTvrml_poolfloat(int index);
int _WTvrml_poolint(int index);
void _WTvrml_freepool(void);

int _WTvrml_readmfvec3f_opt(int index);
int _WTvrml_readmfvec3f(int index);
int _WTvrml_readmfvec2f(int index);
int _WTvrml_readmffloat(int index);
int _WTvrml_readmflong(int index);
int _WTvrml_readmfstring(int index);
int _WTvrml_readsffloat(float *out);
int _WTvrml_readsflong(int *out);
int _WTvrml_readsfvec2f(float *out);
int _WTvrml_readsfvec3f(float *out);
int _WTvrml_readsfrotation(float *out);
int _WTvrml_readsfmatrix(float *out);
int _WTvrml_readsfbool(int *out);
int _WTvrml_readsfstring(int index);
int _WTvrml_readconeparts(int *out);
int _WTvrml_readcylinderparts(int *out);
int _WTvrml_readfontstyle(int *out);
int _WTvrml_readfontfamily(int *out);
int _WTvrml_readjustification(int *out);
int _WTvrml_readvertexordering(int *out);
int _WTvrml_readshapetype(int *out);
int _WTvrml_readfacetype(int *out);
int _WTvrml_readbinding(int *out);
int _WTvrml_readrenderculling(int *out);
int _WTvrml_readwrap(int *out);
int _WTvrml_readanchormap(int *out);
// Width, height and components at the index, then the pixels as RGBA words (a new array the
// caller frees with _WTmem_free), or null.
uint32_t *_WTvrml_readsfimage(int index, int *transparent);

// ---- Shapes --------------------------------------------------------------------------------

// Binding values.
enum {
  VB_NONE = 12,
  VB_DEFAULT = 15,
  VB_OVERALL = 16,
  VB_PER_PART = 17,
  VB_PER_PART_INDEXED = 18,
  VB_PER_FACE = 19,
  VB_PER_FACE_INDEXED = 20,
  VB_PER_VERTEX = 21,
  VB_PER_VERTEX_INDEXED = 22
};

struct WTvrmlrange {
  int start;
  int count;
};

// What the shape builders read of the traversal state.
struct WTvrmlshape {
  const char *texture;  // texture name or null
  float texmatrix[6];   // m00 m01 m10 m11 m20 m21
  int free;             // free index of the pool
  WTvrmlrange coords, normals, texcoords;
  int materialbinding, normalbinding;
  int vertexordering, shapetype;
};

struct WTvrmlfaceset {
  WTvrmlrange coordindex, materialindex, normalindex, texcoordindex;
};

WTgeometry *_WTvrml_makecone(float height, float radius, int segments, int parts, int binding,
                             const char *texture);
WTgeometry *_WTvrml_makecylinder(float height, float radius, int segments, int parts, int binding,
                                 const char *texture);
// Null for no geometry; *bad is set when an index names no coordinate or texture coordinate.
WTgeometry *_WTvrml_makefaceset(const WTvrmlshape *state, const WTvrmlfaceset *fields, int *bad);

// ---- HTTP ------------------------------------------------------------------------------------

WTsocket _WTvrml_openurl(const char *address);
const char *_WTvrml_fetchurl(const char *address, const char *local);
// Receives up to `size` bytes; 0 at the end, negative on failure.
int _WTvrml_recv(WTsocket socket, void *buffer, int size);
void _WTvrml_closesocket(WTsocket socket);

// ---- Reader and writer -----------------------------------------------------------------------

WTnode *_WTnode_loadvrml(WTnode *parent, const char *name);
void _WTvrml_setbase(const char *base);
void _WTvrml_cleanup(void);
// False when a write or the stream failed.
int _WTnode_savevrml(WTnode *node, FILE *stream, WTviewpoint *viewpoint, int flag);
}
