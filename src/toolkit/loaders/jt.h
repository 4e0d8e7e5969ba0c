/* JT models through the outside JT library: the callback table the library builds nodes with. */
#ifndef VEDRA_TOOLKIT_LOADERS_JT_H
#define VEDRA_TOOLKIT_LOADERS_JT_H

#include <stdint.h>

#include "toolkit/wt.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Every slot is pointer-sized, in this order. */
typedef struct WTjtcallbacks {
  intptr_t version; /* 1 */
  intptr_t lods;    /* universe option 18 when the library was bound */
  WTnode *(*sepnode)(WTnode *parent);
  WTnode *(*material)(WTnode *parent, const float *diffuse, const float *ambient,
                      const float *specular, const float *emission, float shininess);
  WTnode *(*transform)(WTnode *parent, const float *matrix);
  WTnode *(*lodnode)(WTnode *parent);
  int (*lodcenter)(WTnode *lod, const float *centre);
  WTnode *(*switchnode)(WTnode *parent, int child);
  int (*addchild)(WTnode *parent, WTnode *child);
  intptr_t (*nothing)(void);
  void (*name)(WTnode *node, const char *name);
  void (*geometrybegin)(void *unused, const char *const *texture);
  WTvertex *(*vertex)(const float *position, const float *normal);
  WTnode *(*geometryclose)(WTnode *parent);
  void (*polybegin)(void);
  void (*polyvertex)(WTvertex *vertex, const float *uv);
  void (*polyclose)(void);
} WTjtcallbacks;

/* The library's entry "_WTjt_loadmodel": the model's root node or null. */
typedef WTnode *(*WTjtloadfn)(const char *path, WTjtcallbacks *callbacks);

/* Loads the library named by "WTKJTDLL" (else "jt2wt.dll") once; later calls do nothing. */
void _WTjt_bind(void);
/* Forgets the binding so that the next load binds again (the library stays loaded). */
void _WTjt_unbind(void);
/* The model under the parent with the transform from the library's axes; null when the library
 * is missing or gives nothing. */
WTnode *_WTnode_loadjt(WTnode *parent, const char *path);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_JT_H */
